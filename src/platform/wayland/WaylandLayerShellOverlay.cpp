#include "WaylandLayerShellOverlay.h"

#include "base/Logger.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QPainter>
#include <QSocketNotifier>

#include <wayland-client.h>

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

std::unique_ptr<WaylandLayerShellOverlay> WaylandLayerShellOverlay::connect(const QString& display)
{
    wl_display* connection = wl_display_connect(display.isEmpty() ? nullptr : display.toUtf8().constData());
    if (!connection)
        return nullptr;
    std::unique_ptr<WaylandLayerShellOverlay> overlay(new WaylandLayerShellOverlay(connection));
    if (!overlay->m_compositor || !overlay->m_shm || !overlay->m_layerShell) {
        Logger::shared().info(
            QStringLiteral("The compositor offers no layer shell; the indicator uses an ordinary window"));
        return nullptr;
    }
    return overlay;
}

WaylandLayerShellOverlay::WaylandLayerShellOverlay(wl_display* display)
    : m_display(display)
{
    static const wl_registry_listener listener = {&WaylandLayerShellOverlay::handleGlobal,
                                                  &WaylandLayerShellOverlay::handleGlobalRemove};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
    wl_display_roundtrip(m_display);
    // Events (configure, buffer release) are read from the event loop.
    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, &WaylandLayerShellOverlay::dispatch);
}

WaylandLayerShellOverlay::~WaylandLayerShellOverlay()
{
    hide();
    delete m_notifier;
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandLayerShellOverlay::handleGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                                            uint32_t version)
{
    auto* self = static_cast<WaylandLayerShellOverlay*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !self->m_compositor)
        self->m_compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, std::min<uint32_t>(version, 4)));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0 && !self->m_shm)
        self->m_shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && !self->m_layerShell)
        self->m_layerShell =
            static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
}

void WaylandLayerShellOverlay::handleGlobalRemove(void*, wl_registry*, uint32_t)
{
}

void WaylandLayerShellOverlay::dispatch()
{
    if (wl_display_dispatch(m_display) < 0) {
        Logger::shared().error(QStringLiteral("Lost the Wayland connection of the indicator overlay"));
        m_notifier->setEnabled(false);
        m_layerSurface = nullptr;
        m_surface = nullptr;
    }
}

void WaylandLayerShellOverlay::flush()
{
    wl_display_flush(m_display);
}

bool WaylandLayerShellOverlay::show(const QImage& image, Placement placement, int margin)
{
    static const zwlr_layer_surface_v1_listener listener = {&WaylandLayerShellOverlay::handleConfigure,
                                                            &WaylandLayerShellOverlay::handleClosed};
    hide();
    if (image.isNull() || !m_notifier->isEnabled())
        return false;
    m_image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_opacity = 1.0;
    m_surface = wl_compositor_create_surface(m_compositor);
    // Clicks go to whatever lies below.
    wl_region* nothing = wl_compositor_create_region(m_compositor);
    wl_surface_set_input_region(m_surface, nothing);
    wl_region_destroy(nothing);
    m_layerSurface = zwlr_layer_shell_v1_get_layer_surface(m_layerShell, m_surface, nullptr,
                                                           ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "tolvane-indicator");
    zwlr_layer_surface_v1_add_listener(m_layerSurface, &listener, this);
    zwlr_layer_surface_v1_set_size(m_layerSurface, uint32_t(m_image.width()), uint32_t(m_image.height()));
    switch (placement) {
    case Placement::Top:
        zwlr_layer_surface_v1_set_anchor(m_layerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP);
        zwlr_layer_surface_v1_set_margin(m_layerSurface, margin, 0, 0, 0);
        break;
    case Placement::Bottom:
        zwlr_layer_surface_v1_set_anchor(m_layerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM);
        zwlr_layer_surface_v1_set_margin(m_layerSurface, 0, 0, margin, 0);
        break;
    case Placement::Center:
        zwlr_layer_surface_v1_set_anchor(m_layerSurface, 0);
        break;
    }
    zwlr_layer_surface_v1_set_keyboard_interactivity(m_layerSurface, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(m_layerSurface, -1);
    m_configured = false;
    wl_surface_commit(m_surface);
    flush();
    return true;
}

void WaylandLayerShellOverlay::handleConfigure(void* data, zwlr_layer_surface_v1* surface, uint32_t serial, uint32_t,
                                               uint32_t)
{
    auto* self = static_cast<WaylandLayerShellOverlay*>(data);
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    if (!self->m_configured) {
        self->m_configured = true;
        self->attach(self->m_image);
    }
}

void WaylandLayerShellOverlay::handleClosed(void* data, zwlr_layer_surface_v1*)
{
    static_cast<WaylandLayerShellOverlay*>(data)->hide();
}

void WaylandLayerShellOverlay::handleBufferRelease(void*, wl_buffer* buffer)
{
    wl_buffer_destroy(buffer);
}

// One buffer per frame, freed when the compositor releases it.
bool WaylandLayerShellOverlay::attach(const QImage& image)
{
    static const wl_buffer_listener listener = {&WaylandLayerShellOverlay::handleBufferRelease};
    if (!m_surface || !m_configured)
        return false;
    QImage frame = image;
    if (m_opacity < 1.0) {
        frame = QImage(image.size(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        QPainter painter(&frame);
        painter.setOpacity(m_opacity);
        painter.drawImage(0, 0, image);
    }
    const int stride = frame.width() * 4;
    const size_t size = size_t(stride) * size_t(frame.height());
    const int fd = memfd_create("tolvane-indicator", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(size)) != 0) {
        if (fd >= 0)
            close(fd);
        return false;
    }
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return false;
    }
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(static_cast<char*>(memory) + size_t(y) * size_t(stride), frame.constScanLine(y), size_t(stride));
    munmap(memory, size);
    wl_shm_pool* pool = wl_shm_create_pool(m_shm, fd, int32_t(size));
    // ARGB32 premultiplied in the machine's byte order is what wl_shm calls ARGB8888.
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, frame.width(), frame.height(), stride, WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(buffer, &listener, nullptr);
    wl_surface_attach(m_surface, buffer, 0, 0);
    wl_surface_damage(m_surface, 0, 0, frame.width(), frame.height());
    wl_surface_commit(m_surface);
    flush();
    return true;
}

void WaylandLayerShellOverlay::setOpacity(qreal opacity)
{
    m_opacity = std::clamp(opacity, 0.0, 1.0);
    attach(m_image);
}

void WaylandLayerShellOverlay::hide()
{
    if (m_layerSurface) {
        zwlr_layer_surface_v1_destroy(m_layerSurface);
        m_layerSurface = nullptr;
    }
    if (m_surface) {
        wl_surface_destroy(m_surface);
        m_surface = nullptr;
    }
    m_configured = false;
    flush();
}
