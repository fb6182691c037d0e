#include "AboutView.h"

#include "SettingsServices.h"
#include "SettingsView.h"
#include "SymbolIcon.h"
#include "UiStyle.h"
#include "base/Logger.h"
#include "base/Tolvane.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor kBlue(0x0a, 0x84, 0xff);

QPixmap gradientSymbol(const QString& symbol, int size, qreal ratio)
{
    QPixmap image = SymbolIcon::pixmap(symbol, Qt::black, size, ratio);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    QLinearGradient gradient(0, 0, size, size);
    gradient.setColorAt(0, QColor(0x0a, 0x84, 0xff));
    gradient.setColorAt(1, QColor(0xaf, 0x52, 0xde));
    painter.fillRect(QRectF(0, 0, size, size), gradient);
    return image;
}

} // namespace

AboutView::AboutView(QWidget* parent)
    : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->addStretch(1);
    auto* frame = new QWidget(this);
    frame->setMinimumSize(400, 340);
    frame->setMaximumWidth(400);
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(40, 40, 40, 40);
    column->setSpacing(20);
    column->addStretch(1);

    auto* symbol = new QLabel(frame);
    symbol->setPixmap(gradientSymbol(QStringLiteral("keyboard.badge.ellipsis"), 80, devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignCenter);
    column->addWidget(symbol);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    m_name = new QLabel(frame);
    m_name->setFont(UiStyle::titleFont(font(), 2.0));
    m_name->setAlignment(Qt::AlignCenter);
    header->addWidget(m_name);
    m_version = new QLabel(versionText(SettingsView::shortVersionString(),
#ifdef TOLVANE_BUILD_NUMBER
                                       QStringLiteral(TOLVANE_BUILD_NUMBER)
#else
                                       QString()
#endif
                                           ),
                           frame);
    m_version->setFont(UiStyle::captionFont(font()));
    m_version->setAlignment(Qt::AlignCenter);
    UiStyle::makeSecondary(m_version);
    header->addWidget(m_version);
    column->addLayout(header);

    m_description = new QLabel(frame);
    m_description->setAlignment(Qt::AlignCenter);
    m_description->setWordWrap(true);
    column->addWidget(m_description);

    m_credit = new QLabel(makerName(), frame);
    QFont caption2 = UiStyle::captionFont(font());
    caption2.setPointSizeF(caption2.pointSizeF() * 0.9);
    m_credit->setFont(caption2);
    m_credit->setAlignment(Qt::AlignCenter);
    UiStyle::makeSecondary(m_credit);
    column->addWidget(m_credit);

    m_support = new QPushButton(SymbolIcon::tinted(QStringLiteral("envelope"), kBlue), QString(), frame);
    m_support->setFlat(true);
    m_support->setFont(UiStyle::captionFont(font()));
    QPalette blue = m_support->palette();
    blue.setColor(QPalette::ButtonText, kBlue);
    m_support->setPalette(blue);
    m_support->setCursor(Qt::PointingHandCursor);
    connect(m_support, &QPushButton::clicked, this, &AboutView::contactSupport);
    column->addWidget(m_support, 0, Qt::AlignHCenter);
    column->addStretch(1);

    outer->addWidget(frame, 0, Qt::AlignHCenter);
    outer->addStretch(1);
    retranslate();
}

QString AboutView::versionText(const QString& shortVersion, const QString& bundleVersion)
{
    return QStringLiteral("v%1 (%2)")
        .arg(shortVersion.isEmpty() ? QStringLiteral("1.0") : shortVersion,
             bundleVersion.isEmpty() ? QStringLiteral("1") : bundleVersion);
}

QString AboutView::supportLink()
{
    return QStringLiteral("https://mail.google.com/mail/?view=cm&fs=1&to=support@kelvora.com&su=Tolvane%20Support");
}

void AboutView::contactSupport()
{
    const QString link = supportLink();
    Logger::shared().info(QStringLiteral("📧 Opening Gmail compose: ") + link);
    const QUrl url(link, QUrl::StrictMode);
    auto& services = SettingsServices::current();
    if (url.isValid() && url.scheme() == QLatin1String("https") && services.openUrl)
        services.openUrl(url);
}

void AboutView::retranslate()
{
    m_name->setText(Tolvane::tr("Tolvane"));
    m_description->setText(Tolvane::tr("Designed for effortless typing on the Linux desktop."));
    m_support->setText(Tolvane::tr("Contact Support"));
}

void AboutView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
