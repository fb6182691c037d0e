#pragma once

#include "InputMethodProvider.h"

#include <QList>
#include <QPointer>

#include <memory>

// Puts the input-method framework that runs in charge of the input sources, and
// the keyboard layouts otherwise. A framework manages the layouts itself (its
// keyboard entries), so while one runs the layouts are not touched behind its
// back: only its entries are listed and selected. The first running framework
// in the given order wins.
//
// When a framework starts or stops the chooser switches over and tells its
// listeners that both the enabled sources and the selected one changed.
// Identifiers of a provider that is not in charge are refused by
// `selectInputSource`.
class InputSourceProviderChooser : public InputSourceProvider {
    Q_OBJECT
public:
    // `frameworks` in order of preference; `layouts` (may be null) when none runs.
    InputSourceProviderChooser(QList<InputMethodProvider*> frameworks, InputSourceProvider* layouts,
                               QObject* parent = nullptr);

    // fcitx5, then IBus, on the session bus, before `layouts`.
    static std::unique_ptr<InputSourceProviderChooser> withInputMethodFrameworks(InputSourceProvider* layouts);

    QString providerName() const override;
    std::optional<QList<InputSourceProperties>> enabledInputSources() override;
    std::optional<InputSourceProperties> currentInputSource() override;
    bool selectInputSource(const QString& id) override;

private:
    void choose();

    QList<QPointer<InputMethodProvider>> m_frameworks;
    QPointer<InputSourceProvider> m_layouts;
    QPointer<InputSourceProvider> m_active;
};
