#pragma once

#include "platform/InputSourceProvider.h"

// An input-method framework reached over D-Bus (fcitx5, IBus). Unlike the XKB
// groups it may come and go while Tolvane runs: `isRunning` tells whether its
// daemon is there now, and `runningChanged` follows it on the main thread.
class InputMethodProvider : public InputSourceProvider {
    Q_OBJECT
public:
    using InputSourceProvider::InputSourceProvider;

    virtual bool isRunning() const = 0;

    // "fcitx5:pinyin" -> "pinyin" when the prefix is this provider's, else nullopt.
    std::optional<QString> localName(const QString& id) const
    {
        const QString prefix = providerName() + QLatin1Char(':');
        if (!id.startsWith(prefix) || id.size() == prefix.size())
            return std::nullopt;
        return id.mid(prefix.size());
    }
    QString identifier(const QString& localName) const { return providerName() + QLatin1Char(':') + localName; }

Q_SIGNALS:
    void runningChanged();
};
