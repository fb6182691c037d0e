#pragma once

#include "platform/DesktopIssues.h"

#include <QString>

// What the settings window says about a desktop issue, in the interface
// language, with the command that puts it right where there is one.
class DesktopIssueText {
public:
    static QString message(const DesktopIssue& issue);
};
