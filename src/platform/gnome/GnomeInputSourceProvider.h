#pragma once

#include "GnomeShellExtension.h"
#include "platform/InputSourceProvider.h"

#include <optional>

// GNOME Shell's input sources, through Tolvane's Shell extension. GNOME keeps
// XKB layouts and IBus engines in one list and follows only its own switches,
// so both kinds are listed and selected here, never through IBus directly.
//
// Identifiers: ("xkb", "de") -> "xkb:de", ("xkb", "de+nodeadkeys") ->
// "xkb:de(nodeadkeys)" as Tolvane names XKB layouts everywhere,
// ("ibus", "hangul") -> "ibus:hangul". Without the extension there is no list
// and nothing is selected.
//
// The list is kept until the Shell announces another one, so that a switch
// costs one call.
class GnomeInputSourceProvider : public InputSourceProvider {
    Q_OBJECT
public:
    explicit GnomeInputSourceProvider(GnomeShellExtension& extension, QObject* parent = nullptr);

    QString providerName() const override { return QStringLiteral("gnome"); }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override;
    std::optional<InputSourceProperties> currentInputSource() override;
    bool selectInputSource(const QString& id) override;

    // ("xkb", "de+nodeadkeys") -> "xkb:de(nodeadkeys)"; other types as "type:id".
    static QString identifier(const QString& type, const QString& id);

private:
    std::optional<QList<GnomeShellExtension::InputSource>> sources();
    InputSourceProperties properties(const GnomeShellExtension::InputSource& source) const;
    void forgetSources();

    GnomeShellExtension& m_extension;
    std::optional<QList<GnomeShellExtension::InputSource>> m_sources;
};
