#include "SettingsView.h"

#include "AboutView.h"
#include "AccessibilityBanner.h"
#include "DesktopConflictBanner.h"
#include "GeneralSettingsView.h"
#include "NoticeBanner.h"
#include "ProSettingsView.h"
#include "RuleListView.h"
#include "SettingsServices.h"
#include "SymbolIcon.h"
#include "UiStyle.h"
#include "base/Tolvane.h"
#include "core/RuleEngine.h"
#include "services/PermissionsManager.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QColor kPurple(0xaf, 0x52, 0xde);

QScrollArea* scrolled(QWidget* page, QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    // The page's controls take the focus; the area scrolls to each in turn.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidget(page);
    return area;
}

} // namespace

SettingsView::SettingsView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager,
                           PermissionsManager& permissionsManager, QWidget* parent)
    : QWidget(parent)
    , m_ruleEngine(ruleEngine)
    , m_permissionsManager(permissionsManager)
{
    setMinimumSize(700, 450);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    auto* side = new QWidget(this);
    side->setFixedWidth(210);
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(8, 10, 8, 0);
    sideColumn->setSpacing(6);
    m_sidebarTitle = new QLabel(side);
    m_sidebarTitle->setFont(UiStyle::titleFont(font(), 1.15));
    m_sidebarTitle->setContentsMargins(6, 0, 0, 0);
    sideColumn->addWidget(m_sidebarTitle);
    m_sidebar = new QListWidget(side);
    m_sidebar->setFrameShape(QFrame::NoFrame);
    m_sidebar->setIconSize(QSize(18, 18));
    m_sidebar->setStyleSheet(QStringLiteral(
        "QListWidget { background: transparent; outline: 0; } "
        "QListWidget::item { padding: 6px 4px; border-radius: 6px; border: 1px solid transparent; } "
        "QListWidget::item:selected { background: rgba(10, 132, 255, 64); color: palette(window-text); } "
        "QListWidget::item:focus { border: 1px solid palette(highlight); }"));
    const struct {
        const char* symbol;
        QColor color;
    } entries[] = {{"list.bullet.rectangle", {}}, {"gear", {}}, {"sparkles", kPurple}, {"info.circle", {}}};
    for (const auto& entry : entries) {
        auto* item = new QListWidgetItem(m_sidebar);
        const QString symbol = QString::fromLatin1(entry.symbol);
        if (entry.color.isValid()) {
            item->setIcon(SymbolIcon::tinted(symbol, entry.color));
            item->setForeground(entry.color);
        } else {
            item->setIcon(SymbolIcon::icon(symbol));
        }
    }
    sideColumn->addWidget(m_sidebar, 1);
    m_footer = new QLabel(versionFooterText(shortVersionString()), side);
    m_footer->setAlignment(Qt::AlignCenter);
    m_footer->setContentsMargins(0, 8, 0, 8);
    m_footer->setFont(UiStyle::captionFont(font()));
    UiStyle::makeSecondary(m_footer);
    sideColumn->addWidget(m_footer);
    columns->addWidget(side);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    columns->addWidget(divider);

    auto* detailColumn = new QVBoxLayout;
    detailColumn->setContentsMargins(0, 0, 0, 0);
    detailColumn->setSpacing(0);
    const auto& switchingAvailable = SettingsServices::current().switchingAvailable;
    m_switchingAvailable = !switchingAvailable || switchingAvailable();
    m_unsupportedDesktop = new NoticeBanner(this);
    m_unsupportedDesktop->setVisible(!m_switchingAvailable);
    detailColumn->addWidget(m_unsupportedDesktop);
    m_saveError = new QLabel(this);
    m_saveError->setWordWrap(true);
    m_saveError->setTextFormat(Qt::PlainText);
    m_saveError->setContentsMargins(16, 8, 16, 8);
    QPalette errorPalette = m_saveError->palette();
    errorPalette.setColor(QPalette::WindowText, UiStyle::destructiveColor(palette()));
    m_saveError->setPalette(errorPalette);
    detailColumn->addWidget(m_saveError);
    const auto& desktopConflicts = SettingsServices::current().desktopConflicts;
    m_conflictBanner = new DesktopConflictBanner(desktopConflicts ? desktopConflicts() : nullptr, this);
    detailColumn->addWidget(m_conflictBanner);
    m_detail = new QStackedWidget(this);
    auto* rulesPage = new QWidget(m_detail);
    auto* rulesColumn = new QVBoxLayout(rulesPage);
    rulesColumn->setContentsMargins(0, 0, 0, 0);
    rulesColumn->setSpacing(0);
    m_banner = new AccessibilityBanner(rulesPage);
    m_banner->setCanGrant(m_permissionsManager.canRequestAccess());
    connect(m_banner, &AccessibilityBanner::grantAccessRequested, &m_permissionsManager,
            &PermissionsManager::requestAccess);
    rulesColumn->addWidget(m_banner);
    m_rules = new RuleListView(ruleEngine, inputSourceManager, rulesPage);
    rulesColumn->addWidget(m_rules, 1);
    m_detail->addWidget(rulesPage);

    m_general = new GeneralSettingsView(ruleEngine, inputSourceManager);
    m_detail->addWidget(scrolled(m_general, m_detail));
    m_pro = new ProSettingsView(ruleEngine);
    m_detail->addWidget(scrolled(m_pro, m_detail));
    m_about = new AboutView;
    m_detail->addWidget(scrolled(m_about, m_detail));
    detailColumn->addWidget(m_detail, 1);
    columns->addLayout(detailColumn, 1);

    // A chosen entry is a selected one: keyboard focus alone makes the first
    // row current without choosing it.
    connect(m_sidebar, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = m_sidebar->selectedItems();
        if (chosen.isEmpty())
            return;
        const int row = m_sidebar->row(chosen.first());
        m_entryChosen = true;
        m_detail->setCurrentIndex(row);
        updateBanner();
    });
    connect(&m_permissionsManager, &PermissionsManager::isAccessibilityTrustedChanged, this,
            &SettingsView::updateBanner);
    connect(&m_ruleEngine, &RuleEngine::rulesSaveErrorChanged, this, &SettingsView::showSaveError);

    setTabOrder(m_sidebar, m_detail);
    retranslate();
    updateBanner();
    resize(sizeHint());
}

QSize SettingsView::sizeHint() const
{
    QSize size(820, 560);
    // The page, the sidebar, the divider, and the frame a scroll area keeps.
    const int generalHeight = m_general->sizeHint().height() + 2 * m_detail->frameWidth();
    size.setHeight(qMax(size.height(), generalHeight));
    if (const QScreen* display = screen())
        size = size.boundedTo(display->availableGeometry().size() - QSize(0, 48));
    return size.expandedTo(minimumSize());
}

QString SettingsView::versionFooterText(const QString& shortVersion)
{
    return QStringLiteral("v") + (shortVersion.isEmpty() ? QStringLiteral("1.0") : shortVersion);
}

QString SettingsView::shortVersionString()
{
#ifdef TOLVANE_VERSION
    return QStringLiteral(TOLVANE_VERSION);
#else
    return QString();
#endif
}

void SettingsView::showPage(Page page)
{
    m_sidebar->setCurrentRow(page, QItemSelectionModel::ClearAndSelect);
}

int SettingsView::currentPage() const
{
    return m_detail->currentIndex();
}

bool SettingsView::isBannerVisible() const
{
    return !m_banner->isHidden();
}

void SettingsView::updateBanner()
{
    // Where the compositor binds the pause key, there is nothing to grant or miss;
    // where nothing is switched, the hotkey permission is beside the point.
    const SettingsServices& services = SettingsServices::current();
    const bool compositorBindsKeys = (services.pauseKeyBinding && !services.pauseKeyBinding().isEmpty())
        || (services.pauseKeyBindingHint && !services.pauseKeyBindingHint().isEmpty());
    m_banner->setVisible(m_switchingAvailable && !m_entryChosen && !compositorBindsKeys
                         && !m_permissionsManager.isAccessibilityTrusted());
}

// One line for as long as saving fails, however many saves fail meanwhile.
void SettingsView::showSaveError()
{
    const QString error = m_ruleEngine.rulesSaveError();
    m_saveError->setVisible(!error.isEmpty());
    m_saveError->setToolTip(error);
    m_saveError->setText(error.isEmpty()
                             ? QString()
                             : Tolvane::tr("The rules could not be saved. Your changes are kept while "
                                           "Tolvane runs, and saving is tried again with the next change."));
}

void SettingsView::retranslate()
{
    setWindowTitle(Tolvane::tr("Settings"));
    m_sidebarTitle->setText(Tolvane::tr("Settings"));
    m_sidebar->setAccessibleName(Tolvane::tr("Settings"));
    const QString titles[] = {Tolvane::tr("Rule Management"), Tolvane::tr("General Settings"), Tolvane::tr("Features"),
                              Tolvane::tr("About")};
    for (int row = 0; row < m_sidebar->count(); ++row)
        m_sidebar->item(row)->setText(titles[row]);
    m_unsupportedDesktop->setText(Tolvane::tr("Switching is not available on this desktop yet."));
    showSaveError();
}

void SettingsView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
