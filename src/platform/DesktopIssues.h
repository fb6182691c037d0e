#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

// Something about the desktop that keeps Tolvane from switching, which the
// user can put right. `detail` carries what the message needs (an extension's
// uuid, the desktop's own error text).
struct DesktopIssue {
    enum class Kind {
        shellExtensionNotInstalled,
        shellExtensionNotLoaded,
        shellExtensionDisabled,
        shellExtensionFailed,
        perWindowInputSources,
    };
    Kind kind;
    QString detail;

    friend bool operator==(const DesktopIssue& a, const DesktopIssue& b)
    {
        return a.kind == b.kind && a.detail == b.detail;
    }
};

Q_DECLARE_METATYPE(DesktopIssue)

// The desktop's issues as they stand now, followed while Tolvane runs.
class DesktopIssues : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<DesktopIssue> issues READ issues NOTIFY issuesChanged)
public:
    using QObject::QObject;
    ~DesktopIssues() override = default;

    QList<DesktopIssue> issues() const { return m_issues; }

Q_SIGNALS:
    void issuesChanged();

protected:
    void setIssues(const QList<DesktopIssue>& issues)
    {
        if (issues == m_issues)
            return;
        m_issues = issues;
        Q_EMIT issuesChanged();
    }

private:
    QList<DesktopIssue> m_issues;
};
