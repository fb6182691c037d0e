#include "PreferenceKeys.h"

namespace PreferenceKeys {

// name, type, default where acted on, default on the page, removed by Reset
const PreferenceKey appLanguage{QStringLiteral("appLanguage"), QMetaType::QString, QStringLiteral("system"),
                                QStringLiteral("system"), true};
// The languages the interface was last started in; LocalizationManager keeps it.
const PreferenceKey platformLanguages{QStringLiteral("AppleLanguages"), QMetaType::QStringList, {}, {}, false};
const PreferenceKey showNotification{QStringLiteral("showNotification"), QMetaType::Bool, false, false, true};
const PreferenceKey soundEnabled{QStringLiteral("soundEnabled"), QMetaType::Bool, true, true, true};
const PreferenceKey soundVolume{QStringLiteral("soundVolume"), QMetaType::Double, 0.5, 0.5, true};
const PreferenceKey indicatorEnabled{QStringLiteral("indicatorEnabled"), QMetaType::Bool, false, false, true};
const PreferenceKey indicatorPosition{QStringLiteral("indicatorPosition"), QMetaType::QString, QStringLiteral("top"),
                                      QStringLiteral("top"), true};
const PreferenceKey indicatorDuration{QStringLiteral("indicatorDuration"), QMetaType::Double, 1.5, 1.5, true};
const PreferenceKey menuBarShowFlag{QStringLiteral("menuBarShowFlag"), QMetaType::Bool, true, true, true};
const PreferenceKey pauseHotkeyEnabled{QStringLiteral("pauseHotkeyEnabled"), QMetaType::Bool, false, false, true};
const PreferenceKey rememberLastInputSource{QStringLiteral("rememberLastInputSource"), QMetaType::Bool, false, false,
                                            true};
// The engine's own: Reset clears it through the engine, which then tells its listeners.
const PreferenceKey defaultInputSourceID{QStringLiteral("defaultInputSourceID"), QMetaType::QString, {}, {}, false};
const PreferenceKey shareUsageStatistics{QStringLiteral("shareUsageStatistics"), QMetaType::Bool, true, true, false};
const PreferenceKey quitAlwaysKeepsWindows{QStringLiteral("NSQuitAlwaysKeepsWindows"), QMetaType::Bool, false, false,
                                           false};

const QList<const PreferenceKey*>& all()
{
    static const QList<const PreferenceKey*> table{
        &appLanguage,          &platformLanguages,     &showNotification,        &soundEnabled,
        &soundVolume,          &indicatorEnabled,      &indicatorPosition,       &indicatorDuration,
        &menuBarShowFlag,      &pauseHotkeyEnabled,    &rememberLastInputSource, &defaultInputSourceID,
        &shareUsageStatistics, &quitAlwaysKeepsWindows};
    return table;
}

QStringList resetNames()
{
    QStringList names;
    for (const PreferenceKey* key : all()) {
        if (key->reset)
            names.append(key->name);
    }
    return names;
}

} // namespace PreferenceKeys
