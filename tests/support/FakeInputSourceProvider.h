#pragma once

#include "platform/InputSourceProvider.h"

#include <QStringList>

// An input-source system held in memory: tests set the list and the current
// source, and see every selection that was asked for.
class FakeInputSourceProvider : public InputSourceProvider {
    Q_OBJECT
public:
    using InputSourceProvider::InputSourceProvider;

    QString providerName() const override { return QStringLiteral("fake"); }
    std::optional<QList<InputSourceProperties>> enabledInputSources() override { return sources; }
    std::optional<InputSourceProperties> currentInputSource() override { return current; }
    bool selectInputSource(const QString& id) override
    {
        selections.append(id);
        if (refuseSelection)
            return false;
        for (const InputSourceProperties& source : std::as_const(*sources)) {
            if (source.id == id)
                current = source;
        }
        return true;
    }

    static InputSourceProperties source(const QString& id, const QString& name)
    {
        InputSourceProperties properties;
        properties.id = id;
        properties.localizedName = name;
        return properties;
    }

    std::optional<QList<InputSourceProperties>> sources = QList<InputSourceProperties>{};
    std::optional<InputSourceProperties> current;
    QStringList selections;
    bool refuseSelection = false;
};
