#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The desktop's notification service.
class NotificationService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~NotificationService() override = default;

    using Completion = std::function<void(const std::optional<QString>& errorDescription)>;

    // Posts a new notification (never replacing an earlier one) without sound.
    // Returns at once; `completion` runs later with the service's error, if any.
    virtual void post(const QString& title, const QString& body, Completion completion) = 0;
};
