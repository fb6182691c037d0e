#include "SwayConfigCheck.h"

#include <QRegularExpression>

QStringList SwayConfigCheck::layoutSwitchingWindowRules(const QString& config)
{
    static const QRegularExpression forWindow(QStringLiteral("^for_window\\s"));
    static const QRegularExpression switchesLayout(QStringLiteral("\\bxkb_(switch_)?layout\\b"));
    QStringList rules;
    QString line;
    for (const QString& physical : config.split(QLatin1Char('\n'))) {
        // A backslash at the end continues the line.
        if (physical.endsWith(QLatin1Char('\\'))) {
            line += physical.chopped(1) + QLatin1Char(' ');
            continue;
        }
        line += physical;
        const QString statement = line.trimmed();
        line.clear();
        if (forWindow.match(statement).hasMatch() && switchesLayout.match(statement).hasMatch())
            rules.append(statement);
    }
    return rules;
}
