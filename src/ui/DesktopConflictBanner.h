#pragma once

#include "NoticeBanner.h"
#include "platform/DesktopConflict.h"

#include <QPointer>

class DesktopConflictMonitor;
class QPushButton;

// The row above the settings pages that tells the user what about the desktop
// works against Tolvane, and how to put it right. What stops switching
// altogether is told for as long as it stands, all of it at once. A setting
// that undoes Tolvane's switches is told once, one at a time: after "Dismiss"
// that setting's banner does not come back (the preference
// "dismissedDesktopConflicts" keeps its key).
class DesktopConflictBanner : public NoticeBanner {
    Q_OBJECT
public:
    static constexpr const char* kDismissedKey = "dismissedDesktopConflicts";

    // `monitor` may be null: the banner then stays hidden.
    explicit DesktopConflictBanner(DesktopConflictMonitor* monitor, QWidget* parent = nullptr);

    QPushButton* dismissButton() const { return m_dismiss; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void showConflicts();
    void dismiss();
    void retranslate();

    QPointer<DesktopConflictMonitor> m_monitor;
    QList<DesktopConflict> m_standing;
    std::optional<DesktopConflict> m_shown;
    QPushButton* m_dismiss;
};
