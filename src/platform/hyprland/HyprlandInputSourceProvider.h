#pragma once

#include "platform/InputSourceProvider.h"

#include <QJsonObject>
#include <QStringList>

class HyprlandIpc;
class XkbRegistry;

// The layouts of Hyprland's keyboards as input sources, named "xkb:de",
// "xkb:de(nodeadkeys)" from each keyboard's layout and variant codes (as on
// X11, so rules carry over). Layouts belong to each keyboard: a selection
// switches every keyboard that has the layout ("switchxkblayout DEVICE N", one
// per keyboard: older versions take no "all") and counts as done once the
// "activelayout" event of each has come. The current source is that of the
// keyboard switched last, else the main one. A keyboard that arrives later is
// brought to the layout in use.
class HyprlandInputSourceProvider : public InputSourceProvider {
    Q_OBJECT
public:
    static constexpr int kConfirmationTimeoutMs = 300;

    HyprlandInputSourceProvider(HyprlandIpc& ipc, const XkbRegistry& registry, QObject* parent = nullptr);

    QString providerName() const override { return QStringLiteral("xkb"); }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override;
    std::optional<InputSourceProperties> currentInputSource() override;
    bool selectInputSource(const QString& id) override;

private:
    struct Keyboard {
        QString name;
        QStringList ids;
        QStringList names;
        int active = 0;
        bool main = false;
    };

    void handleEvent(const QByteArray& name, const QByteArray& data);
    void readKeyboards();
    Keyboard keyboardFrom(const QJsonObject& device) const;
    qsizetype indexOf(const QString& name) const;
    const Keyboard* primaryKeyboard() const;
    std::optional<QString> currentId() const;
    bool switchKeyboards(const QHash<QString, int>& targets);

    HyprlandIpc& m_ipc;
    const XkbRegistry& m_registry;
    QList<Keyboard> m_keyboards;
    QString m_primary;
};
