#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

// What an input-source provider knows about one enabled source. Every property
// is optional: a provider states only what the system tells it.
struct InputSourceProperties {
    std::optional<QString> id;
    std::optional<QString> localizedName;
    std::optional<QUrl> iconUrl;
    std::optional<bool> isSelectCapable;
    // The country the system associates with the source (ISO 3166 alpha-2,
    // upper case); "" when the system knows the source and names none.
    std::optional<QString> countryCode;

    // A source as a provider reports it; an empty name counts as none.
    static InputSourceProperties of(const QString& id, const std::optional<QString>& name,
                                    std::optional<bool> isSelectCapable = std::nullopt,
                                    std::optional<QString> countryCode = std::nullopt)
    {
        InputSourceProperties properties;
        properties.id = id;
        if (name && !name->isEmpty())
            properties.localizedName = name;
        properties.isSelectCapable = isSelectCapable;
        properties.countryCode = std::move(countryCode);
        return properties;
    }
};

// One input-method or layout system (XKB groups, an input-method framework).
// Identifiers are namespaced by the provider ("xkb:de", "fcitx5:pinyin") so that
// several providers can be combined and a stored identifier stays stable.
class InputSourceProvider : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~InputSourceProvider() override = default;

    // The namespace of this provider's identifiers, without the colon.
    virtual QString providerName() const = 0;

    // The enabled sources in the system's order, asked afresh; nullopt when the
    // system gave no list at all.
    virtual std::optional<QList<InputSourceProperties>> enabledInputSources() = 0;

    // The source that is selected now, or nullopt.
    virtual std::optional<InputSourceProperties> currentInputSource() = 0;

    // Makes the source with this identifier current. True only when the system
    // accepted the selection.
    virtual bool selectInputSource(const QString& id) = 0;

Q_SIGNALS:
    // The selected source changed, whoever changed it. Emitted on the main thread.
    void selectedInputSourceChanged();
    // The set of enabled sources (or their names) changed. Emitted on the main thread.
    void enabledInputSourcesChanged();
};
