#pragma once

#include "platform/InputSourceProvider.h"

#include <QDBusConnection>
#include <QStringList>

#include <functional>
#include <optional>

class XkbRegistry;
struct KxkbConfig;

// The keyboard layouts of KDE Plasma on Wayland, which KWin keeps and offers
// as org.kde.keyboard /Layouts (org.kde.KeyboardLayouts).
//
// getLayoutsList() names each layout by its code, the user's label and its
// description; the variant shows only in the description ("German (Neo 2)"),
// so the identifier is found through xkeyboard-config's rules file and is the
// same "xkb:de(neo)" as on X11. A description the rules file does not know
// (a translated one) falls back to the variant configured at that position in
// kxkbrc. The list is kept until KWin announces another (layoutListChanged).
//
// KWin offers the service only while more than one layout is configured.
class KdeKeyboardLayoutProvider : public InputSourceProvider {
    Q_OBJECT
public:
    struct Layout {
        QString id;
        QString name;
    };

    KdeKeyboardLayoutProvider(QDBusConnection bus, const XkbRegistry& registry, std::function<KxkbConfig()> readConfig,
                              QObject* parent = nullptr);

    QString providerName() const override { return QStringLiteral("xkb"); }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override;
    std::optional<InputSourceProperties> currentInputSource() override;
    // True only when KWin answers that it made the layout current.
    bool selectInputSource(const QString& id) override;

    // The identifier and name of each (shortName, label, longName) entry.
    static QList<Layout> layoutsFrom(const QList<QStringList>& entries, const XkbRegistry& registry,
                                     const KxkbConfig& config);

private Q_SLOTS:
    void handleLayoutChanged(uint index);
    void handleLayoutListChanged();

private:
    std::optional<QList<Layout>> layouts();
    std::optional<QList<QStringList>> readLayoutList();
    std::optional<QVariant> call(const QString& method, const QVariantList& arguments = {});

    QDBusConnection m_bus;
    const XkbRegistry& m_registry;
    std::function<KxkbConfig()> m_readConfig;
    std::optional<QList<Layout>> m_layouts;
};
