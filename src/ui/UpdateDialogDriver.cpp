#include "UpdateDialogDriver.h"

#include "UpdateDialog.h"

// An open dialog deletes itself when closed, or goes with the application.
UpdateDialogDriver::~UpdateDialogDriver() = default;

void UpdateDialogDriver::showUpToDate(const QString& currentVersion)
{
    present(UpdateDialog::upToDate(currentVersion));
}

void UpdateDialogDriver::showUpdateFound(const AppcastItem& item, const QString& currentVersion)
{
    present(UpdateDialog::updateAvailable(item, currentVersion));
}

void UpdateDialogDriver::showUpdateError(const QString& message)
{
    present(UpdateDialog::failure(message));
}

void UpdateDialogDriver::present(UpdateDialog* dialog)
{
    if (m_dialog)
        m_dialog->close();
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
