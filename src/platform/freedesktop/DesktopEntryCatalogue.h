#pragma once

#include "platform/ApplicationCatalogue.h"

class DesktopEntryIndex;

// The catalogue of a Linux desktop: its installed desktop entries.
class DesktopEntryCatalogue : public ApplicationCatalogue {
public:
    explicit DesktopEntryCatalogue(DesktopEntryIndex& index);

    QString iconName(const QString& id) override;
    QList<Application> applications(const QString& languageTag) override;
    FileAnswer describedBy(const QString& path, const QString& languageTag) override;
    QString applicationFolder() override;
    QStringList filePatterns() const override { return {QStringLiteral("*.desktop")}; }

private:
    DesktopEntryIndex& m_index;
};
