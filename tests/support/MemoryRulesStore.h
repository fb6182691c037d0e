#pragma once

#include "core/RulesStore.h"

// The rules kept in memory, for tests of the engine: nothing on disk.
class MemoryRulesStore : public RulesStore {
public:
    MemoryRulesStore()
        : RulesStore(QString())
    {
    }

    LoadResult load() override { return {rules, rules ? QString() : QStringLiteral("No rules were saved yet.")}; }
    std::optional<QString> save(const QList<AppRule>& saved) override
    {
        if (saveError)
            return saveError;
        rules = saved;
        return std::nullopt;
    }

    std::optional<QList<AppRule>> rules;
    // Set: every save fails with it.
    std::optional<QString> saveError;
};
