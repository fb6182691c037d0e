#pragma once

#include <QDBusAbstractAdaptor>

#include <functional>

// The part of com.kelvora.Tolvane1 that the activatable name
// com.kelvora.Tolvane.Settings offers: a call that starts Tolvane when it does
// not run may open its settings and do nothing else.
class SettingsBusAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kelvora.Tolvane1")
public:
    SettingsBusAdaptor(QObject* host, std::function<void()> openSettings);

public Q_SLOTS:
    void OpenSettings();

private:
    std::function<void()> m_openSettings;
};
