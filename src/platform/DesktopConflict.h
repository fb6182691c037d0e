#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// Something about the desktop that works against Tolvane (a setting that undoes
// its switches, a missing piece without which nothing is switched), and what
// the user can do about it. The text is marked with
// QT_TRANSLATE_NOOP("Tolvane", …) where it is written and translated when it
// is shown.
struct DesktopConflict {
    // Names the setting for good: a banner the user dismissed stays dismissed under it.
    QString key;
    const char* text = nullptr;
    // Filled into %1, %2, … of the text, untranslated.
    QStringList arguments;
    // The same advice for the log, in English.
    QString logMessage;
    // False for what the user must put right for Tolvane to work at all: told
    // for as long as it stands, never dismissed.
    bool dismissable = true;

    QString translatedText() const
    {
        QString result = QCoreApplication::translate("Tolvane", text);
        for (const QString& argument : arguments)
            result = result.arg(argument);
        return result;
    }

    friend bool operator==(const DesktopConflict& a, const DesktopConflict& b)
    {
        return a.key == b.key && qstrcmp(a.text, b.text) == 0 && a.arguments == b.arguments
            && a.dismissable == b.dismissable;
    }
};
