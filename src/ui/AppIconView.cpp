#include "AppIconView.h"

#include "SettingsServices.h"
#include "SymbolIcon.h"
#include "platform/ApplicationCatalogue.h"

#include <QFileInfo>
#include <QPainter>

namespace {

QIcon themeOrFileIcon(const QString& name)
{
    if (name.isEmpty())
        return {};
    if (QFileInfo(name).isAbsolute())
        return QFileInfo::exists(name) ? QIcon(name) : QIcon();
    return QIcon::fromTheme(name);
}

} // namespace

AppIconView::AppIconView(const QString& bundleID, int size, QWidget* parent)
    : QWidget(parent)
    , m_bundleID(bundleID)
    , m_size(size)
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QIcon AppIconView::iconOf(const RunningApplication& app)
{
    if (!app.icon.isNull())
        return QIcon(QPixmap::fromImage(app.icon));
    return themeOrFileIcon(app.iconName);
}

std::optional<QIcon> AppIconView::lookUpIcon(const QString& bundleID, const QList<RunningApplication>& running)
{
    if (bundleID.isEmpty())
        return std::nullopt;
    if (ApplicationCatalogue* catalogue = SettingsServices::current().applicationCatalogue()) {
        const QIcon icon = themeOrFileIcon(catalogue->iconName(bundleID));
        if (!icon.isNull())
            return icon;
    }
    for (const RunningApplication& app : running) {
        if (app.bundleIdentifier == bundleID) {
            const QIcon icon = iconOf(app);
            if (icon.isNull())
                return std::nullopt;
            return icon;
        }
    }
    return std::nullopt;
}

void AppIconView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_lookedUp)
        return;
    m_lookedUp = true;
    const auto& services = SettingsServices::current();
    m_icon = lookUpIcon(m_bundleID,
                        services.runningApplications ? services.runningApplications() : QList<RunningApplication>{});
    update();
}

void AppIconView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect square(0, 0, m_size, m_size);
    if (m_icon) {
        m_icon->paint(&painter, square);
        return;
    }
    painter.drawPixmap(square,
                       SymbolIcon::pixmap(QStringLiteral("app.fill"), QColor(Qt::gray), m_size, devicePixelRatioF()));
}
