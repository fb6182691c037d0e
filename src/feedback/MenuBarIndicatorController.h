#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class InputSourceManager;
class InputSourceProvider;

// Keeps the flag and name of the currently selected input source for the tray
// item, whoever selected it (the rule engine, the user's own layout hotkey,
// another program).
class MenuBarIndicatorController : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString currentInputSourceIcon READ currentInputSourceIcon NOTIFY currentInputSourceIconChanged)
    Q_PROPERTY(QString currentInputSourceName READ currentInputSourceName NOTIFY currentInputSourceNameChanged)
public:
    static MenuBarIndicatorController& shared();

    // Follows the selection-changed notices of the manager's provider and reads
    // the current source once.
    explicit MenuBarIndicatorController(InputSourceManager& inputSources, QObject* parent = nullptr);

    // The flag emoji of the current source, or "⌨️".
    QString currentInputSourceIcon() const { return m_currentInputSourceIcon; }
    // The current source's display name; "" until one is known.
    QString currentInputSourceName() const { return m_currentInputSourceName; }

    // Re-reads the current source and publishes it; keeps the last values when
    // there is none.
    void updateCurrentInputSource();

Q_SIGNALS:
    void currentInputSourceIconChanged();
    void currentInputSourceNameChanged();

private:
    void setupObserver();

    InputSourceManager& m_inputSources;
    QString m_currentInputSourceIcon;
    QString m_currentInputSourceName;
    QPointer<InputSourceProvider> m_observer;
};
