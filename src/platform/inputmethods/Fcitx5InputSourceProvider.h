#pragma once

#include "InputMethodProvider.h"

#include <QDBusConnection>
#include <QHash>

class QDBusServiceWatcher;

// The input methods of fcitx5's current input-method group, through its
// controller on the session bus (org.fcitx.Fcitx5, /controller,
// org.fcitx.Fcitx.Controller1). Identifier: "fcitx5:" + the input method's
// unique name ("fcitx5:keyboard-de", "fcitx5:pinyin"); name: the name fcitx5
// shows for it ("Keyboard - German", "Pinyin").
//
// fcitx5 keeps the current input method per focused input context: with no
// application focused there is no current one, and a selection lands on the
// application that has the focus.
//
// Notices: fcitx5 sends no broadcast signal when the current input method
// changes. Tolvane's own selections are announced at once; changes made by
// anyone else are caught from fcitx5's tray item (StatusNotifierItem), which
// fcitx5 updates on every change while a tray (StatusNotifierWatcher) runs:
// each such signal makes the provider re-read the current input method, and
// it tells its listeners only when that really changed. A change of the group
// list arrives as InputMethodGroupsChanged; a change of the entries of a group
// has no signal and is seen at the next tray update or restart.
class Fcitx5InputSourceProvider : public InputMethodProvider {
    Q_OBJECT
public:
    static constexpr const char* serviceName = "org.fcitx.Fcitx5";

    explicit Fcitx5InputSourceProvider(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    QString providerName() const override { return QStringLiteral("fcitx5"); }
    bool isRunning() const override { return m_running; }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override;
    std::optional<InputSourceProperties> currentInputSource() override;
    bool selectInputSource(const QString& id) override;

private Q_SLOTS:
    void trayItemChanged();
    void groupsChanged();

private:
    void setRunning(bool running);
    void waitUntilReady();
    std::optional<QString> currentGroupName();
    std::optional<QList<QString>> groupInputMethods();
    std::optional<QString> currentInputMethodName();
    std::optional<QString> displayName(const QString& inputMethod);
    // From the input method's layout, else the language fcitx5 gives it.
    QString countryCode(const QString& inputMethod);
    // The names and countries of the installed input methods, read once per
    // daemon run and again for one that was not installed then.
    void loadInputMethodInfo(const QString& inputMethod);
    QDBusMessage call(const QString& method, const QVariantList& arguments = {});

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_watcher = nullptr;
    bool m_running = false;
    QHash<QString, QString> m_displayNames;
    QHash<QString, QString> m_countryCodes;
    bool m_displayNamesLoaded = false;
    QString m_lastCurrent;
    QStringList m_lastGroup;
    bool m_rereading = false;
    int m_readyAttempts = 0;
};
