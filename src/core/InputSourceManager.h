#pragma once

#include "InputSource.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>

#include "platform/InputSourceProvider.h"

// The catalogue of enabled input sources and the one place that selects them.
// The catalogue is built when the manager is created and again whenever the
// provider reports a changed list (a framework started or stopped); selection and the
// current source always ask the system afresh.
class InputSourceManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<InputSource> installedInputSources READ installedInputSources NOTIFY installedInputSourcesChanged)
public:
    static InputSourceManager& shared();

    explicit InputSourceManager(InputSourceProvider* provider, QObject* parent = nullptr);

    QList<InputSource> installedInputSources() const { return m_installedInputSources; }

    void loadInputSources();
    QString displayName(const QString& id) const;
    // The catalogue's entry for this identifier, or nullopt.
    std::optional<InputSource> inputSource(const QString& id) const;
    std::optional<InputSource> currentInputSource() const;
    bool selectInputSource(const QString& id);

    InputSourceProvider* provider() const { return m_provider; }

Q_SIGNALS:
    void installedInputSourcesChanged();

private:
    QPointer<InputSourceProvider> m_provider;
    QList<InputSource> m_installedInputSources;
};
