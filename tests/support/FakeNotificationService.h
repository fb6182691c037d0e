#pragma once

#include "platform/NotificationService.h"

#include <QList>
#include <QPair>

// Records every notification; answers each with `errorToReport` when set.
class FakeNotificationService : public NotificationService {
    Q_OBJECT
public:
    using NotificationService::NotificationService;

    void post(const QString& title, const QString& body, Completion completion) override
    {
        posted.append({title, body});
        if (completion)
            completion(errorToReport);
    }

    QList<QPair<QString, QString>> posted;
    std::optional<QString> errorToReport;
};
