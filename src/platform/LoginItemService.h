#pragma once

#include <QString>

#include <optional>

// Starts this application when the user logs in.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;

    // Whether the application is registered now, read from the system.
    virtual bool isRegistered() = 0;

    // Each returns nullopt on success, otherwise a description of what failed
    // (already translated for the user).
    virtual std::optional<QString> registerItem() = 0;
    virtual std::optional<QString> unregisterItem() = 0;
};
