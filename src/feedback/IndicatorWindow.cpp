#include "IndicatorWindow.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace {

// Frames of the two labels inside the 60-pixel-high panel, top-left origin; the
// name label's width follows the panel's, leaving 18 pixels on its right.
const QRect kIconFrame(16, 12, 40, 36);
const QRect kNameFrame(62, 16, IndicatorWindow::kNameLabelWidth, 28);
constexpr int kNameMargins = 80;

QFont systemFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

} // namespace

IndicatorWindow::IndicatorWindow(const QString& name, const QString& icon, bool translucent, QWidget* parent)
    // A tooltip-type window is not managed by the window manager on X11: it
    // appears on whichever desktop is current, above ordinary windows, and is
    // never given focus.
    : QWidget(parent,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput
                  | Qt::WindowDoesNotAcceptFocus)
    , m_name(name)
    , m_translucent(translucent)
    , m_iconLabel(new QLabel(icon, this))
    , m_nameLabel(new QLabel(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    if (translucent) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    setWindowOpacity(1.0);

    // The colour emoji font first, so that symbols with a text form of their
    // own (▶️, ⏸️) are drawn as emoji like the flags.
    QFont iconFont = systemFont(28, QFont::Normal);
    iconFont.setFamilies({QStringLiteral("Noto Color Emoji"), iconFont.family()});
    m_iconLabel->setFont(iconFont);
    m_iconLabel->setAlignment(Qt::AlignCenter);
    m_iconLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    m_iconLabel->setGeometry(kIconFrame);

    m_nameLabel->setFont(systemFont(18, QFont::Medium));
    m_nameLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_nameLabel->setTextFormat(Qt::PlainText);
    // Measured in the font the label really uses (which differs between
    // desktops), the label grows with the panel up to its maximum; only a name
    // too wide even for that is cut.
    const int width = panelWidth(nameTextWidth());
    m_nameLabel->setGeometry(kNameFrame.x(), kNameFrame.y(), width - kNameMargins, kNameFrame.height());
    const QFontMetricsF metrics(m_nameLabel->font());
    m_nameLabel->setText(metrics.elidedText(name, Qt::ElideRight, m_nameLabel->width()));

    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    m_iconLabel->setPalette(palette);
    m_nameLabel->setPalette(palette);

    resize(width, kHeight);
}

int IndicatorWindow::panelWidth(qreal textWidth)
{
    const qreal width = std::min<qreal>(textWidth + kNameMargins, kMaximumWidth);
    return static_cast<int>(std::ceil(std::max<qreal>(width, kMinimumWidth)));
}

QString IndicatorWindow::icon() const
{
    return m_iconLabel->text();
}

QString IndicatorWindow::displayedName() const
{
    return m_nameLabel->text();
}

QRect IndicatorWindow::nameLabelGeometry() const
{
    return m_nameLabel->geometry();
}

qreal IndicatorWindow::nameTextWidth() const
{
    return QFontMetricsF(m_nameLabel->font()).horizontalAdvance(m_name);
}

void IndicatorWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_translucent) {
        // Without compositing the corners are cut out of the window's shape.
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
}

void IndicatorWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (m_translucent) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setBrush(QColor(28, 28, 30, 210));
    } else {
        painter.setBrush(QColor(44, 44, 46));
    }
    painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
}

QImage IndicatorWindow::renderedImage()
{
    ensurePolished();
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return image;
}
