#include "GeneralSettingsView.h"

#include "SettingsServices.h"
#include "SymbolIcon.h"
#include "UiStyle.h"
#include "WheelGuard.h"
#include "base/Logger.h"
#include "base/PreferenceKeys.h"
#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "core/InputSourceManager.h"
#include "core/InputSourceMemory.h"
#include "core/RuleEngine.h"
#include "feedback/GlobalHotkeyManager.h"
#include "platform/InputSourceProvider.h"
#include "services/LaunchAtLoginManager.h"
#include "services/LocalizationManager.h"
#include "services/UsageStatisticsManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kSystem = QStringLiteral("system");
const QString& kShowNotification = PreferenceKeys::showNotification.name;

QGroupBox* section(QVBoxLayout* page, QWidget* parent)
{
    auto* box = new QGroupBox(parent);
    page->addWidget(box);
    return box;
}

QLabel* description(QWidget* parent)
{
    auto* label = new QLabel(parent);
    UiStyle::makeDescription(label);
    return label;
}

} // namespace

GeneralSettingsView::GeneralSettingsView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager,
                                         QWidget* parent)
    : QWidget(parent)
    , m_ruleEngine(ruleEngine)
    , m_inputSourceManager(inputSourceManager)
{
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(20, 16, 20, 16);
    page->setSpacing(12);

    m_languageSection = section(page, this);
    auto* languageForm = new QFormLayout(m_languageSection);
    languageForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_language = new QComboBox(m_languageSection);
    m_languageLabel = new QLabel(m_languageSection);
    m_languageLabel->setBuddy(m_language);
    languageForm->addRow(m_languageLabel, m_language);
    m_languageDescription = description(m_languageSection);
    languageForm->addRow(m_languageDescription);

    m_startupSection = section(page, this);
    auto* startup = new QVBoxLayout(m_startupSection);
    m_launch = new QCheckBox(m_startupSection);
    m_launch->setIcon(SymbolIcon::icon(QStringLiteral("power")));
    startup->addWidget(m_launch);
    m_launchError = new QLabel(m_startupSection);
    m_launchError->setWordWrap(true);
    m_launchError->setFont(UiStyle::captionFont(font()));
    QPalette red = m_launchError->palette();
    red.setColor(QPalette::WindowText, UiStyle::destructiveColor(red));
    m_launchError->setPalette(red);
    m_launchError->hide();
    startup->addWidget(m_launchError);
    m_launchDescription = description(m_startupSection);
    startup->addWidget(m_launchDescription);

    m_fallbackSection = section(page, this);
    auto* fallbackForm = new QFormLayout(m_fallbackSection);
    fallbackForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_defaultSource = new QComboBox(m_fallbackSection);
    m_defaultSourceLabel = new QLabel(m_fallbackSection);
    m_defaultSourceLabel->setBuddy(m_defaultSource);
    fallbackForm->addRow(m_defaultSourceLabel, m_defaultSource);
    m_fallbackDescription = description(m_fallbackSection);
    fallbackForm->addRow(m_fallbackDescription);
    m_noRule = new QComboBox(m_fallbackSection);
    // Its long choices would otherwise widen the whole page.
    m_noRule->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_noRule->setMinimumContentsLength(16);
    m_noRuleLabel = new QLabel(m_fallbackSection);
    m_noRuleLabel->setBuddy(m_noRule);
    fallbackForm->addRow(m_noRuleLabel);
    fallbackForm->addRow(m_noRule);
    m_memoryDescription = description(m_fallbackSection);
    fallbackForm->addRow(m_memoryDescription);

    m_notificationSection = section(page, this);
    auto* notifications = new QVBoxLayout(m_notificationSection);
    m_notification = new QCheckBox(m_notificationSection);
    m_notification->setIcon(SymbolIcon::icon(QStringLiteral("bell")));
    notifications->addWidget(m_notification);
    m_notificationDescription = description(m_notificationSection);
    notifications->addWidget(m_notificationDescription);

    m_privacySection = section(page, this);
    auto* privacy = new QVBoxLayout(m_privacySection);
    m_shareStatistics = new QCheckBox(m_privacySection);
    m_shareStatistics->setIcon(SymbolIcon::icon(QStringLiteral("chart.bar")));
    privacy->addWidget(m_shareStatistics);
    m_shareStatisticsDescription = description(m_privacySection);
    privacy->addWidget(m_shareStatisticsDescription);
    m_shareStatisticsNote = description(m_privacySection);
    privacy->addWidget(m_shareStatisticsNote);
    m_privacySection->setVisible(UsageStatisticsManager::isAvailable());

    m_updatesSection = section(page, this);
    auto* updates = new QVBoxLayout(m_updatesSection);
    auto* updateRow = new QHBoxLayout;
    m_checkUpdates = new QPushButton(SymbolIcon::icon(QStringLiteral("arrow.clockwise")), QString(), m_updatesSection);
    m_website = new QPushButton(SymbolIcon::icon(QStringLiteral("globe")), QString(), m_updatesSection);
    updateRow->addWidget(m_checkUpdates);
    updateRow->addStretch(1);
    updateRow->addWidget(m_website);
    updates->addLayout(updateRow);
    m_updatesDescription = description(m_updatesSection);
    updates->addWidget(m_updatesDescription);

    m_resetSection = section(page, this);
    auto* reset = new QVBoxLayout(m_resetSection);
    const QColor resetRed = UiStyle::destructiveColor(palette());
    m_reset = new QPushButton(SymbolIcon::tinted(QStringLiteral("arrow.counterclockwise"), resetRed), QString(),
                              m_resetSection);
    QPalette destructive = m_reset->palette();
    destructive.setColor(QPalette::ButtonText, resetRed);
    m_reset->setPalette(destructive);
    reset->addWidget(m_reset, 0, Qt::AlignLeft);
    m_resetDescription = description(m_resetSection);
    reset->addWidget(m_resetDescription);
    page->addStretch(1);

    connect(m_language, &QComboBox::activated, this, [this](int index) {
        const QString code = m_language->itemData(index).toString();
        if (auto& services = SettingsServices::current(); services.localization)
            services.localization().setLanguage(code, true);
    });
    connect(m_launch, &QCheckBox::toggled, this, [this](bool on) {
        attachLaunchManager();
        if (m_launchManager && m_launchManager->isEnabled() != on)
            m_launchManager->setEnabled(on);
    });
    connect(m_defaultSource, &QComboBox::activated, this, [this](int index) {
        const QString id = m_defaultSource->itemData(index).toString();
        m_ruleEngine.setDefaultInputSourceID(id.isEmpty() ? std::nullopt : std::optional<QString>(id));
    });
    connect(m_noRule, &QComboBox::activated, this, [this](int index) {
        const bool remember = m_noRule->itemData(index).toBool();
        Preferences::setValue(InputSourceMemory::preferenceKey(), remember);
        m_memoryDescription->setVisible(remember);
    });
    connect(m_notification, &QCheckBox::toggled, this, [](bool on) { Preferences::setValue(kShowNotification, on); });
    connect(m_shareStatistics, &QCheckBox::toggled, this,
            [](bool on) { UsageStatisticsManager::shared().setSharingEnabled(on); });
    connect(&UsageStatisticsManager::shared(), &UsageStatisticsManager::isSharingEnabledChanged, this,
            &GeneralSettingsView::showSharingState);
    connect(m_checkUpdates, &QPushButton::clicked, this, [] {
        if (auto& services = SettingsServices::current(); services.checkForUpdates)
            services.checkForUpdates();
    });
    connect(m_website, &QPushButton::clicked, this, &GeneralSettingsView::visitWebsite);
    connect(m_reset, &QPushButton::clicked, this, &GeneralSettingsView::confirmReset);
    connect(&m_ruleEngine, &RuleEngine::defaultInputSourceIDChanged, this, &GeneralSettingsView::fillDefaultSources);
    connect(&m_inputSourceManager, &InputSourceManager::installedInputSourcesChanged, this,
            &GeneralSettingsView::fillDefaultSources);

    {
        const QSignalBlocker blocker(m_notification);
        m_notification->setChecked(
            Preferences::boolValue(kShowNotification, PreferenceKeys::showNotification.pageDefault.toBool()));
    }
    retranslate();
    WheelGuard::protect(this);
}

QUrl GeneralSettingsView::websiteURL()
{
    return QUrl(QStringLiteral("https://kelvora.com/tolvane"));
}

QStringList GeneralSettingsView::resetKeys()
{
    return PreferenceKeys::resetNames();
}

void GeneralSettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    attachLaunchManager();
    fillNoRuleChoices();
    const QSignalBlocker blocker(m_notification);
    m_notification->setChecked(
        Preferences::boolValue(kShowNotification, PreferenceKeys::showNotification.pageDefault.toBool()));
}

void GeneralSettingsView::attachLaunchManager()
{
    if (m_launchManager)
        return;
    auto& services = SettingsServices::current();
    if (!services.launchAtLogin)
        return;
    m_launchManager = &services.launchAtLogin();
    connect(m_launchManager, &LaunchAtLoginManager::isEnabledChanged, this, &GeneralSettingsView::showLaunchState);
    connect(m_launchManager, &LaunchAtLoginManager::lastErrorChanged, this, &GeneralSettingsView::showLaunchState);
    showLaunchState();
}

void GeneralSettingsView::showLaunchState()
{
    if (!m_launchManager)
        return;
    {
        const QSignalBlocker blocker(m_launch);
        m_launch->setChecked(m_launchManager->isEnabled());
    }
    const QString error = m_launchManager->lastError();
    m_launchError->setText(error);
    m_launchError->setVisible(!error.isEmpty());
}

void GeneralSettingsView::showSharingState()
{
    // The environment overrules the stored choice; the page says so instead of showing it.
    const QString variable = UsageStatisticsManager::silencingVariable();
    {
        const QSignalBlocker blocker(m_shareStatistics);
        m_shareStatistics->setChecked(variable.isEmpty() && UsageStatisticsManager::shared().isSharingEnabled());
    }
    m_shareStatistics->setEnabled(variable.isEmpty());
    m_shareStatisticsNote->setText(Tolvane::tr("Off while the environment variable %1 is set.").arg(variable));
    m_shareStatisticsNote->setVisible(!variable.isEmpty());
}

QString GeneralSettingsView::selectedLanguage() const
{
    return m_language->currentData().toString();
}

void GeneralSettingsView::fillLanguages()
{
    auto& services = SettingsServices::current();
    const QString current = services.localization ? services.localization().currentLanguage() : kSystem;
    const QSignalBlocker blocker(m_language);
    m_language->clear();
    for (const LocalizationManager::Language& language : LocalizationManager::supportedLanguages())
        m_language->addItem(language.code == kSystem ? Tolvane::tr("System Default") : language.name, language.code);
    m_language->setCurrentIndex(qMax(0, m_language->findData(current)));
}

void GeneralSettingsView::fillDefaultSources()
{
    const std::optional<QString> current = m_ruleEngine.defaultInputSourceID();
    const QSignalBlocker blocker(m_defaultSource);
    m_defaultSource->clear();
    m_defaultSource->addItem(Tolvane::tr("None (Do nothing)"), QString());
    for (const InputSource& source : m_inputSourceManager.installedInputSources())
        m_defaultSource->addItem(source.name, source.id);
    if (current && !current->isEmpty() && m_defaultSource->findData(*current) < 0)
        m_defaultSource->addItem(m_inputSourceManager.displayName(*current), *current);
    m_defaultSource->setCurrentIndex(current ? qMax(0, m_defaultSource->findData(*current)) : 0);
}

void GeneralSettingsView::fillNoRuleChoices()
{
    const bool remember = InputSourceMemory::isEnabledInPreferences();
    const QSignalBlocker blocker(m_noRule);
    m_noRule->clear();
    m_noRule->addItem(Tolvane::tr("the default input source"), false);
    m_noRule->addItem(Tolvane::tr("the source last used in that application"), true);
    m_noRule->setCurrentIndex(remember ? 1 : 0);
    m_memoryDescription->setVisible(remember);
}

void GeneralSettingsView::retranslate()
{
    UiStyle::setSectionTitle(m_languageSection, Tolvane::tr("Language"));
    m_languageLabel->setText(Tolvane::tr("App Language"));
    m_language->setAccessibleName(Tolvane::tr("App Language"));
    m_languageDescription->setText(Tolvane::tr("Language changes take effect immediately."));
    UiStyle::setSectionTitle(m_startupSection, Tolvane::tr("Startup"));
    m_launch->setText(Tolvane::tr("Launch at Login"));
    m_launchDescription->setText(Tolvane::tr("Automatically start when you log in."));
    UiStyle::setSectionTitle(m_fallbackSection, Tolvane::tr("Fallback Behavior"));
    m_defaultSourceLabel->setText(Tolvane::tr("Default Input Source"));
    m_defaultSource->setAccessibleName(Tolvane::tr("Default Input Source"));
    m_fallbackDescription->setText(Tolvane::tr("If no rule matches the active app, switch to this input source."));
    m_noRuleLabel->setText(Tolvane::tr("For applications without a rule, use"));
    m_noRule->setAccessibleName(Tolvane::tr("For applications without a rule, use"));
    m_memoryDescription->setText(Tolvane::tr("An application seen for the first time gets the default input source."));
    UiStyle::setSectionTitle(m_notificationSection, Tolvane::tr("Notifications"));
    m_notification->setText(Tolvane::tr("Show System Notification"));
    m_notificationDescription->setText(Tolvane::tr("Show a system notification when input source switches."));
    UiStyle::setSectionTitle(m_privacySection, Tolvane::tr("Privacy"));
    m_shareStatistics->setText(Tolvane::tr("Share anonymous usage statistics"));
    m_shareStatisticsDescription->setText(
        Tolvane::tr("Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, "
                    "and how long its windows are in use; no rule, application name or typed text is ever sent."));
    showSharingState();
    UiStyle::setSectionTitle(m_updatesSection, Tolvane::tr("Updates"));
    m_checkUpdates->setText(Tolvane::tr("Check for Updates"));
    m_website->setText(Tolvane::tr("Visit Website"));
    m_updatesDescription->setText(Tolvane::tr("Check if a new version is available."));
    UiStyle::setSectionTitle(m_resetSection, Tolvane::tr("Reset"));
    m_reset->setText(Tolvane::tr("Reset All Settings"));
    m_resetDescription->setText(Tolvane::tr("Reset all settings to default values. Rules will not be affected."));
    fillLanguages();
    fillDefaultSources();
    fillNoRuleChoices();
}

void GeneralSettingsView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void GeneralSettingsView::visitWebsite()
{
    const QUrl url = websiteURL();
    auto& services = SettingsServices::current();
    if (url.isValid() && url.scheme() == QLatin1String("https") && services.openUrl)
        services.openUrl(url);
}

void GeneralSettingsView::confirmReset()
{
    if (m_confirmation)
        return;
    m_confirmation = new QMessageBox(QMessageBox::Warning, Tolvane::tr("Reset Settings"),
                                     Tolvane::tr("Are you sure you want to reset all settings to default values?"),
                                     QMessageBox::NoButton, this);
    QPushButton* cancel = m_confirmation->addButton(Tolvane::tr("Cancel"), QMessageBox::RejectRole);
    QPushButton* reset = m_confirmation->addButton(Tolvane::tr("Reset"), QMessageBox::DestructiveRole);
    // Return must not wipe the settings: it presses Cancel.
    m_confirmation->setDefaultButton(cancel);
    m_confirmation->setEscapeButton(cancel);
    connect(reset, &QPushButton::clicked, this, &GeneralSettingsView::resetToDefaults);
    m_confirmation->setAttribute(Qt::WA_DeleteOnClose);
    m_confirmation->setWindowModality(Qt::WindowModal);
    m_confirmation->open();
}

void GeneralSettingsView::resetToDefaults()
{
    for (const QString& key : resetKeys())
        Preferences::remove(key);
    m_ruleEngine.setDefaultInputSourceID(std::nullopt);
    auto& services = SettingsServices::current();
    if (services.localization)
        services.localization().setLanguage(kSystem, true);
    {
        const QSignalBlocker blocker(m_language);
        m_language->setCurrentIndex(qMax(0, m_language->findData(kSystem)));
    }
    {
        const QSignalBlocker blocker(m_notification);
        m_notification->setChecked(false);
    }
    fillNoRuleChoices();
    Logger::shared().info(QStringLiteral("All settings have been reset to defaults"));
    // The hotkey toggle now shows off; the monitor follows it.
    if (services.hotkeys)
        services.hotkeys().handleSettingsReset();
}
