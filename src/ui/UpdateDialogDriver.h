#pragma once

#include "services/UpdateUserDriver.h"

#include <QPointer>

#include "UpdateDialog.h"

// Shows each result of an update check in an UpdateDialog, replacing one that
// is still open.
class UpdateDialogDriver : public UpdateUserDriver {
public:
    ~UpdateDialogDriver() override;

    void showUpToDate(const QString& currentVersion) override;
    void showUpdateFound(const AppcastItem& item, const QString& currentVersion) override;
    void showUpdateError(const QString& message) override;

private:
    void present(UpdateDialog* dialog);

    QPointer<UpdateDialog> m_dialog;
};
