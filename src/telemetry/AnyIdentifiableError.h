#pragma once

#include "IdentifiableError.h"

#include <exception>

namespace telemetrydeck {

// Gives any error an identifier; its description is that of the wrapped error.
class AnyIdentifiableError : public IdentifiableError {
public:
    AnyIdentifiableError(QString id, QString description)
        : m_id(std::move(id))
        , m_description(std::move(description))
    {
    }

    // Wraps an exception under the given identifier.
    static AnyIdentifiableError with(const std::exception& error, const QString& id)
    {
        return AnyIdentifiableError(id, QString::fromUtf8(error.what()));
    }

    QString id() const override { return m_id; }
    QString localizedDescription() const override { return m_description; }

private:
    QString m_id;
    QString m_description;
};

} // namespace telemetrydeck
