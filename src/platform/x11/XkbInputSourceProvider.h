#pragma once

#include "platform/InputSourceProvider.h"

#include <QStringList>

#include <optional>

class X11Connection;

// The XKB layout groups of the core keyboard as input sources.
// Identifier: "xkb:" + layout, plus "(" + variant + ")" when the group has one,
// taken from the keymap's rules names (the _XKB_RULES_NAMES root property, or
// the symbols name when no rules names are set). Name: the group's name in the
// keymap. Current: the locked group.
//
// A change of the locked group is reported once per batch of X events, after
// the activations read in the same batch have been acted on: the reactions
// to a switch (the tray's icon, the bus) never delay the next one.
//
// The current source is the locked group as the server's events tell it, in
// the server's order. While an activation read in the batch is handled, and
// until something is selected, it is the group locked when the first of those
// activations happened: the group the application that left the front used,
// also when the switching thread has locked another since (the server tells
// the activation before the lock that follows it).
class XkbInputSourceProvider : public InputSourceProvider {
    Q_OBJECT
public:
    explicit XkbInputSourceProvider(X11Connection& connection, QObject* parent = nullptr);

    QString providerName() const override { return QStringLiteral("xkb"); }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override;
    std::optional<InputSourceProperties> currentInputSource() override;
    bool selectInputSource(const QString& id) override;

    // "us,de(nodeadkeys)" style layout and variant lists to identifiers, one per group.
    static QStringList identifiersFromRulesNames(const QString& layouts, const QString& variants);
    // "pc+us+de(nodeadkeys):2+ru:3+inet(evdev)" to identifiers, one per group.
    static QStringList identifiersFromSymbols(const QString& symbols);

    // The group (0-based) of this identifier; nullopt when no group has it.
    std::optional<int> groupOf(const QString& id);

private:
    // One per group, built once per keymap: switching costs no request and no
    // work but the lock itself.
    const QList<InputSourceProperties>& groups();
    QList<InputSourceProperties> readGroups();
    QStringList groupIdentifiers(int groupCount);
    std::optional<int> lockedGroup();
    void learnLockedGroup(int group, unsigned long serial);
    void handleEvent(const union _XEvent& event);
    void reportSelectionChange();

    X11Connection& m_connection;
    std::optional<QList<InputSourceProperties>> m_groups;
    // The locked group as the server last told it, so that asking for the
    // current source costs no request. Unknown from our own lock request
    // until the server reports a state that includes it.
    std::optional<int> m_knownLockedGroup;
    unsigned long m_knownSerial = 0; // the request after which m_knownLockedGroup held
    unsigned long m_lockSerial = 0; // our last lock request
    bool m_selectionChanged = false;
    // Set from an activation's event until the batch's end or a selection.
    bool m_activationPending = false;
    std::optional<int> m_groupAtActivation;
};
