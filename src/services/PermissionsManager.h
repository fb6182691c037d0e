#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>

// Keeps an observable answer to whether Tolvane may observe the keyboard of
// other applications (on X11: whether the X server offers the RECORD
// extension). Asks once at creation and then every 2 seconds for as long as it
// exists, or, when the answer can change only with the display (X11), again
// only when the screens change; each answer is published from the main queue.
class PermissionsManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isAccessibilityTrusted READ isAccessibilityTrusted NOTIFY isAccessibilityTrustedChanged)
public:
    using TrustQuery = std::function<bool()>;
    enum class Recheck { poll, onDisplayChange };

    static PermissionsManager& shared();

    // `isTrusted` answers the question each time it is asked. Creation checks
    // once and starts polling.
    explicit PermissionsManager(TrustQuery isTrusted, Recheck recheck = Recheck::poll, QObject* parent = nullptr);
    ~PermissionsManager() override;

    static constexpr int pollingIntervalMs = 2000;

    bool isAccessibilityTrusted() const { return m_isAccessibilityTrusted; }

    // Asks without prompting and posts the answer to the main queue.
    void checkAccessibility();
    void startPolling();
    void recheckOnDisplayChange();
    void setSettingsPage(const QUrl& page) { m_settingsPage = page; }
    bool canRequestAccess() const { return m_settingsPage.isValid(); }

    // Opens the settings page; without one, logs that there is nothing to open.
    void requestAccess();

Q_SIGNALS:
    void isAccessibilityTrustedChanged();

private:
    void publish(bool trusted);

    TrustQuery m_isTrusted;
    bool m_isAccessibilityTrusted = false;
    QPointer<QTimer> m_timer;
    QUrl m_settingsPage;
};
