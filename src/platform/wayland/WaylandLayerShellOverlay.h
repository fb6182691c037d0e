#pragma once

#include "platform/OverlayPresenter.h"

#include <QObject>

#include <memory>

struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_registry;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
class QSocketNotifier;

// An overlay on the compositor's layer-shell protocol (zwlr_layer_shell_v1:
// sway, Hyprland, KWin and other wlroots compositors), over a Wayland
// connection of its own, so that it works whichever Qt platform the
// application's windows use. The surface lies in the overlay layer, takes no
// keyboard input and has an empty input region (clicks go through); the image
// is copied into shared memory.
class WaylandLayerShellOverlay : public QObject, public OverlayPresenter {
    Q_OBJECT
public:
    // Null when there is no Wayland display ($WAYLAND_DISPLAY) or it offers
    // no layer shell.
    static std::unique_ptr<WaylandLayerShellOverlay> connect(const QString& display = {});
    ~WaylandLayerShellOverlay() override;

    bool show(const QImage& image, Placement placement, int margin) override;
    void setOpacity(qreal opacity) override;
    void hide() override;
    bool isShown() const override { return m_layerSurface != nullptr; }

private:
    WaylandLayerShellOverlay(wl_display* display);
    static void handleGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void handleGlobalRemove(void* data, wl_registry* registry, uint32_t name);
    static void handleConfigure(void* data, zwlr_layer_surface_v1* surface, uint32_t serial, uint32_t width,
                                uint32_t height);
    static void handleClosed(void* data, zwlr_layer_surface_v1* surface);
    static void handleBufferRelease(void* data, wl_buffer* buffer);
    void dispatch();
    void flush();
    bool attach(const QImage& image);

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    wl_surface* m_surface = nullptr;
    zwlr_layer_surface_v1* m_layerSurface = nullptr;
    bool m_configured = false;
    QImage m_image;
    qreal m_opacity = 1.0;
    QSocketNotifier* m_notifier = nullptr;
};
