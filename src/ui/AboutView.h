#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;
class QPushButton;

// The About page: symbol, name, version, description, maker and a button
// that opens a support message addressed to Kelvora in Gmail.
class AboutView : public QWidget {
    Q_OBJECT
public:
    explicit AboutView(QWidget* parent = nullptr);

    // "v" + short version + " (" + build number + ")", "1.0" and "1" standing
    // in for missing parts.
    static QString versionText(const QString& shortVersion, const QString& bundleVersion);
    static QString makerName() { return QStringLiteral("Kelvora"); }
    static QString supportLink();

    // Logs the link, then opens it when it is a valid https address.
    void contactSupport();

    QPushButton* supportButton() const { return m_support; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QLabel* m_name;
    QLabel* m_version;
    QLabel* m_description;
    QLabel* m_credit;
    QPushButton* m_support;
};
