#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <optional>

class QDBusServiceWatcher;

// Tolvane's GNOME Shell extension, seen from Tolvane: a client of the
// com.kelvora.Tolvane.Shell1 interface that the extension serves on the
// Shell's own bus connection (data/gnome-shell-extension/service.js).
//
// While the extension runs it owns com.kelvora.Tolvane.Shell; `isRunning`
// follows that name. Every call fails quietly (nullopt, false) while it does
// not run.
class GnomeShellExtension : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
public:
    static constexpr const char* kUuid = "tolvane@kelvora.com";
    static constexpr const char* kBusName = "com.kelvora.Tolvane.Shell";
    static constexpr const char* kObjectPath = "/com/kelvora/Tolvane/Shell";
    static constexpr const char* kInterface = "com.kelvora.Tolvane.Shell1";

    // One of the Shell's input sources: ("xkb", "de", "German", "") or
    // ("ibus", "hangul", "Korean (Hangul)", "ko").
    struct InputSource {
        QString type;
        QString id;
        QString name;
        QString language;
    };

    // A row of the panel button's menu; an empty key makes a separator.
    struct PanelMenuRow {
        QString key;
        QString text;
        bool enabled = true;
    };

    explicit GnomeShellExtension(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    bool isRunning() const { return m_running; }

    // The ids of the focused window (keys as the extension names them:
    // wmClass, gtkApplicationId, sandboxedAppId, appId, appName, pid, frame);
    // an empty map when no window has the focus.
    std::optional<QVariantMap> focusedWindow();
    // Every ordinary window, oldest first.
    std::optional<QList<QVariantMap>> windows();
    std::optional<QList<InputSource>> inputSources();
    // The index of the current source in `inputSources()`, or nullopt.
    std::optional<int> currentInputSource();
    bool activateInputSource(int index);
    // Shows Tolvane's indicator image above every window ("top", "center"
    // or "bottom", `margin` from the edge); false when the Shell did not.
    bool showOverlay(const QImage& image, const QString& placement, int margin);
    void setOverlayOpacity(double opacity);
    void hideOverlay();
    // The Shell's top-bar button: its text and its menu's rows. No rows
    // remove the button.
    void setPanelMenu(const QString& label, const QList<PanelMenuRow>& rows);

Q_SIGNALS:
    void isRunningChanged();
    void focusChanged(const QVariantMap& window);
    void currentInputSourceChanged(int index);
    void inputSourcesChanged();
    // The user chose the panel menu's row with this key.
    void panelMenuActivated(const QString& key);

private Q_SLOTS:
    void onFocusChanged(const QVariantMap& window);
    void onCurrentInputSourceChanged(int index);
    void onInputSourcesChanged();
    void onPanelMenuActivated(const QString& key);

private:
    void setRunning(bool running);
    QDBusMessage call(const QString& method, const QVariantList& arguments = {});
    // Without waiting for an answer.
    void send(const QString& method, const QVariantList& arguments = {});

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_watcher;
    bool m_running = false;
};

Q_DECLARE_METATYPE(GnomeShellExtension::PanelMenuRow)
