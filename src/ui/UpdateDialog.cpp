#include "UpdateDialog.h"

#include "base/Tolvane.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

UpdateDialog::UpdateDialog(Kind kind, const QString& heading, const QString& body, QWidget* parent)
    : QDialog(parent)
    , m_kind(kind)
{
    setWindowTitle(Tolvane::tr("Check for Updates"));
    setMinimumWidth(360);

    m_heading = new QLabel(heading, this);
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.2);
    m_heading->setFont(headingFont);
    // Feed data is shown as plain text, never interpreted as markup.
    m_heading->setTextFormat(Qt::PlainText);

    m_body = new QLabel(body, this);
    m_body->setTextFormat(Qt::PlainText);
    m_body->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_body);
    layout->addStretch();
}

UpdateDialog* UpdateDialog::upToDate(const QString& currentVersion, QWidget* parent)
{
    auto* dialog = new UpdateDialog(Kind::UpToDate, Tolvane::tr("You're up to date!"),
                                    Tolvane::tr("Tolvane %1 is the latest version.").arg(currentVersion), parent);
    auto* buttons = new QDialogButtonBox(dialog);
    dialog->m_defaultButton = buttons->addButton(Tolvane::tr("Close"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    dialog->layout()->addWidget(buttons);
    return dialog;
}

UpdateDialog* UpdateDialog::updateAvailable(const AppcastItem& item, const QString& currentVersion, QWidget* parent)
{
    auto* dialog = new UpdateDialog(
        Kind::UpdateAvailable, Tolvane::tr("Update Available"),
        Tolvane::tr("Tolvane %1 is available. You have version %2.").arg(item.displayVersionString, currentVersion),
        parent);
    dialog->setWindowTitle(Tolvane::tr("Update Available"));
    if (item.fileURL.scheme() == QLatin1String("https"))
        dialog->m_downloadURL = item.fileURL;
    auto* buttons = new QDialogButtonBox(dialog);
    auto* later = buttons->addButton(Tolvane::tr("Later"), QDialogButtonBox::RejectRole);
    if (dialog->m_downloadURL.isValid()) {
        auto* download = buttons->addButton(Tolvane::tr("Download"), QDialogButtonBox::AcceptRole);
        connect(download, &QPushButton::clicked, dialog, &UpdateDialog::download);
        dialog->m_defaultButton = download;
    } else {
        dialog->m_defaultButton = later;
    }
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    dialog->layout()->addWidget(buttons);
    dialog->m_defaultButton->setDefault(true);
    return dialog;
}

UpdateDialog* UpdateDialog::failure(const QString& description, QWidget* parent)
{
    auto* dialog = new UpdateDialog(Kind::Failure, Tolvane::tr("Update check failed"), description, parent);
    auto* buttons = new QDialogButtonBox(dialog);
    dialog->m_defaultButton = buttons->addButton(Tolvane::tr("Close"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    dialog->layout()->addWidget(buttons);
    return dialog;
}

QString UpdateDialog::heading() const
{
    return m_heading->text();
}

QString UpdateDialog::body() const
{
    return m_body->text();
}

void UpdateDialog::download()
{
    if (m_downloadURL.scheme() == QLatin1String("https"))
        QDesktopServices::openUrl(m_downloadURL);
    accept();
}
