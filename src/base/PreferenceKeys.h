#pragma once

#include "PreferenceKey.h"

#include <QList>
#include <QStringList>

// Every preference Tolvane keeps, in one table. Code names a preference by its
// entry here, never by a string of its own.
namespace PreferenceKeys {

extern const PreferenceKey appLanguage;
extern const PreferenceKey platformLanguages;
extern const PreferenceKey showNotification;
extern const PreferenceKey soundEnabled;
extern const PreferenceKey soundVolume;
extern const PreferenceKey indicatorEnabled;
extern const PreferenceKey indicatorPosition;
extern const PreferenceKey indicatorDuration;
extern const PreferenceKey menuBarShowFlag;
extern const PreferenceKey pauseHotkeyEnabled;
extern const PreferenceKey rememberLastInputSource;
extern const PreferenceKey defaultInputSourceID;
extern const PreferenceKey shareUsageStatistics;
extern const PreferenceKey quitAlwaysKeepsWindows;

// The whole table, in the order above.
const QList<const PreferenceKey*>& all();
// The names of the entries Reset Settings removes.
QStringList resetNames();

} // namespace PreferenceKeys
