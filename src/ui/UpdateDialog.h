#pragma once

#include "services/AppcastItem.h"

#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;
class QPushButton;

// The result of an update check: up to date, an update to download, or the
// failure. Downloading opens the release's https link in the browser; nothing
// is installed.
class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { UpToDate, UpdateAvailable, Failure };

    static UpdateDialog* upToDate(const QString& currentVersion, QWidget* parent = nullptr);
    static UpdateDialog* updateAvailable(const AppcastItem& item, const QString& currentVersion,
                                         QWidget* parent = nullptr);
    static UpdateDialog* failure(const QString& description, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    QString heading() const;
    QString body() const;

    // Opens the download link (only an https link) and closes the dialog.
    void download();

private:
    UpdateDialog(Kind kind, const QString& heading, const QString& body, QWidget* parent);

    Kind m_kind;
    QLabel* m_heading = nullptr;
    QLabel* m_body = nullptr;
    QPushButton* m_defaultButton = nullptr;
    QUrl m_downloadURL;
};
