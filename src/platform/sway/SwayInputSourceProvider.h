#pragma once

#include "SwaySwitchingThread.h"
#include "platform/InputSourceProvider.h"

#include <QHash>
#include <QJsonObject>
#include <QStringList>

class SwayIpcSocket;
class XkbRegistry;

// The layouts of sway's keyboards as input sources. Sway names a keyboard's
// layouts only by their descriptions ("German", "English (US)"); xkeyboard-
// config's registry turns them back into the same "xkb:de",
// "xkb:de(nodeadkeys)" identifiers as on X11, so rules carry over.
//
// Layouts belong to each keyboard. A selection switches every keyboard that
// has the layout, and counts as done only once sway reports the keyboards at
// that layout. The current source is that of the keyboard switched last. A
// keyboard that arrives later (it starts at its first layout) is brought to the
// layout in use, which is the current application's rule unless the user chose
// another since.
class SwayInputSourceProvider : public InputSourceProvider {
    Q_OBJECT
public:
    // `events` must be subscribed to "input" events; `commands` runs commands.
    SwayInputSourceProvider(SwayIpcSocket& commands, SwayIpcSocket& events, const XkbRegistry& registry,
                            QObject* parent = nullptr);

    QString providerName() const override { return QStringLiteral("xkb"); }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override;
    std::optional<InputSourceProperties> currentInputSource() override;
    bool selectInputSource(const QString& id) override;

    // The command that switches every keyboard to the source, as one frame;
    // empty for a source no keyboard has.
    QByteArray switchCommandFrame(const QString& id) const;

    // Switching thread, if any. While an activation is handled, `outcome` says
    // what the thread did about it: a selection it already sent is not sent
    // again but waited for (sway reports each keyboard's new layout).
    void setSwitchingThread(SwaySwitchingThread* thread) { m_thread = thread; }
    void beginActivation(const SwaySwitchingThread::Outcome& outcome);

    // "English (US)" -> "xkb:us"; a description the registry does not know
    // keeps its own text (a stable name all the same).
    static QString identifierForDescription(const QString& description, const XkbRegistry& registry);

private:
    struct Keyboard {
        QString identifier;
        QStringList ids;
        QStringList names;
        QStringList countries; // read once: the current source is asked on every activation
        int active = 0;
    };

    // The request that switches to a source, written as it stands when the
    // source is chosen, and the layout each keyboard should then be at.
    struct Switch {
        QByteArray command;
        QByteArray frames;
        QHash<QString, int> targets;
    };

    void handleEvent(quint32 type, const QByteArray& payload);
    void handleInputChange(const QString& change, const QJsonObject& input);
    std::optional<Keyboard> keyboardFrom(const QJsonObject& input) const;
    bool readKeyboards();
    QList<Keyboard> keyboardsFrom(const QByteArray& inputsReply) const;
    // Each keyboard's active layout from a get_inputs reply.
    static QHash<QString, int> activeLayoutsFrom(const QByteArray& inputsReply);
    void keyboardsChanged();
    qsizetype indexOf(const QString& identifier) const;
    const Keyboard* primaryKeyboard() const;
    std::optional<QString> currentId() const;
    QString switchCommand(const QString& id, QHash<QString, int>& targets) const;
    void prepareSwitches();
    void bringToLayout(const Keyboard& keyboard, const QString& id);
    void announceIfCurrentChanged(const std::optional<QString>& before);
    bool sendSwitch(const Switch& prepared);
    bool awaitSwitch(const Switch& prepared);
    bool takeActiveLayouts(const QHash<QString, int>& targets, const QHash<QString, int>& now);

    SwayIpcSocket& m_commands;
    SwayIpcSocket& m_events;
    SwaySwitchingThread* m_thread = nullptr;
    SwaySwitchingThread::Outcome m_activation;
    const XkbRegistry& m_registry;
    QList<Keyboard> m_keyboards;
    QString m_primary;
    // Made when the keyboards change, not when an application comes to the front.
    QList<InputSourceProperties> m_sources;
    QHash<QString, Switch> m_switches;
};
