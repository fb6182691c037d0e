#pragma once

#include <QDialog>
#include <QPointer>

#include <QFileDialog>
class QLineEdit;
class QListWidget;
class QPushButton;

// Lets the user pick one of the installed applications by name and icon, with
// a search field; "Other…" falls back to choosing a .desktop file.
class ApplicationChooser : public QDialog {
    Q_OBJECT
public:
    // `languageTag` picks the entries' localized names ("de", "pt_BR").
    explicit ApplicationChooser(const QString& languageTag, QWidget* parent = nullptr);

    QLineEdit* searchField() const { return m_search; }
    QListWidget* list() const { return m_list; }
    QPushButton* otherButton() const { return m_other; }
    QPushButton* chooseButton() const { return m_choose; }
    QFileDialog* fileDialog() const { return m_fileDialog; }
    // The names shown now, in order.
    QStringList shownNames() const;

Q_SIGNALS:
    // Desktop-file id and display name of the chosen application.
    void applicationChosen(const QString& id, const QString& name);
    // A .desktop file chosen through "Other…"; not checked yet.
    void fileChosen(const QString& path);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void retranslate();
    void fill(const QString& languageTag);
    void filter(const QString& text);
    void chooseCurrent();
    void openFileDialog();

    QLineEdit* m_search;
    QListWidget* m_list;
    QPushButton* m_other;
    QPushButton* m_cancel;
    QPushButton* m_choose;
    QPointer<QFileDialog> m_fileDialog;
};
