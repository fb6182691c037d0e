#include "ProSettingsView.h"

#include "KeyboardKeyView.h"
#include "SettingsServices.h"
#include "SymbolIcon.h"
#include "UiStyle.h"
#include "WheelGuard.h"
#include "backup/RulesDocument.h"
#include "backup/RulesExportManager.h"
#include "base/PreferenceKeys.h"
#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "feedback/GlobalHotkeyManager.h"
#include "feedback/IndicatorPosition.h"
#include "feedback/InputSourceIndicatorController.h"
#include "feedback/SoundEffectManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QString& kSoundEnabled = PreferenceKeys::soundEnabled.name;
const QString& kSoundVolume = PreferenceKeys::soundVolume.name;
const QString& kIndicatorEnabled = PreferenceKeys::indicatorEnabled.name;
const QString& kIndicatorPosition = PreferenceKeys::indicatorPosition.name;
const QString& kIndicatorDuration = PreferenceKeys::indicatorDuration.name;
const QString& kMenuBarShowFlag = PreferenceKeys::menuBarShowFlag.name;
const QString& kPauseHotkeyEnabled = PreferenceKeys::pauseHotkeyEnabled.name;

// What the page shows for a boolean while it is absent.
bool shownValue(const PreferenceKey& key)
{
    return Preferences::boolValue(key.name, key.pageDefault.toBool());
}

// Slider positions: duration 1..6 stands for 0.5 s steps, volume 1..10 for tenths.
constexpr double kDurationStep = 0.5;
constexpr double kVolumeStep = 0.1;

QLabel* description(QWidget* parent)
{
    auto* label = new QLabel(parent);
    UiStyle::makeDescription(label);
    return label;
}

QLabel* valueLabel(const QStringList& samples, QWidget* parent)
{
    auto* label = new QLabel(parent);
    UiStyle::makeSecondary(label);
    UiStyle::reserveWidth(label, samples);
    return label;
}

QSlider* slider(int minimum, int maximum, QWidget* parent)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setRange(minimum, maximum);
    s->setSingleStep(1);
    s->setPageStep(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(1);
    return s;
}

} // namespace

ProSettingsView::ProSettingsView(RuleEngine& ruleEngine, QWidget* parent)
    : QWidget(parent)
    , m_ruleEngine(ruleEngine)
{
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(20, 16, 20, 16);
    page->setSpacing(12);

    // Visual indicator
    m_indicatorSection = new QGroupBox(this);
    auto* indicator = new QVBoxLayout(m_indicatorSection);
    m_indicator = new QCheckBox(m_indicatorSection);
    m_indicator->setIcon(SymbolIcon::icon(QStringLiteral("square.on.square")));
    indicator->addWidget(m_indicator);
    m_indicatorDetails = new QWidget(m_indicatorSection);
    auto* details = new QVBoxLayout(m_indicatorDetails);
    details->setContentsMargins(0, 0, 0, 0);
    details->setSpacing(8);
    auto* positionForm = new QFormLayout;
    positionForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_position = new QComboBox(m_indicatorDetails);
    m_positionLabel = new QLabel(m_indicatorDetails);
    m_positionLabel->setBuddy(m_position);
    positionForm->addRow(m_positionLabel, m_position);
    details->addLayout(positionForm);
    auto* durationRow = new QHBoxLayout;
    m_durationTitle = new QLabel(m_indicatorDetails);
    m_durationValue = valueLabel({durationText(0.5), durationText(3.0)}, m_indicatorDetails);
    durationRow->addWidget(m_durationTitle);
    durationRow->addStretch(1);
    durationRow->addWidget(m_durationValue);
    details->addLayout(durationRow);
    m_duration = slider(1, 6, m_indicatorDetails);
    details->addWidget(m_duration);
    indicator->addWidget(m_indicatorDetails);
    m_indicatorDescription = description(m_indicatorSection);
    indicator->addWidget(m_indicatorDescription);
    page->addWidget(m_indicatorSection);

    // Sound
    m_soundSection = new QGroupBox(this);
    auto* sound = new QVBoxLayout(m_soundSection);
    m_sound = new QCheckBox(m_soundSection);
    m_sound->setIcon(SymbolIcon::icon(QStringLiteral("speaker.wave.2")));
    sound->addWidget(m_sound);
    m_soundDetails = new QWidget(m_soundSection);
    auto* soundDetails = new QVBoxLayout(m_soundDetails);
    soundDetails->setContentsMargins(0, 0, 0, 0);
    soundDetails->setSpacing(8);
    auto* volumeRow = new QHBoxLayout;
    m_volumeTitle = new QLabel(m_soundDetails);
    m_volumeValue = valueLabel({volumeText(0.1), volumeText(1.0)}, m_soundDetails);
    volumeRow->addWidget(m_volumeTitle);
    volumeRow->addStretch(1);
    volumeRow->addWidget(m_volumeValue);
    soundDetails->addLayout(volumeRow);
    m_volume = slider(1, 10, m_soundDetails);
    soundDetails->addWidget(m_volume);
    m_testSound = new QPushButton(SymbolIcon::tinted(QStringLiteral("play.circle"), QColor(0x0a, 0x84, 0xff)),
                                  QString(), m_soundDetails);
    m_testSound->setFlat(true);
    QPalette link = m_testSound->palette();
    link.setColor(QPalette::ButtonText, QColor(0x0a, 0x84, 0xff));
    m_testSound->setPalette(link);
    m_testSound->setCursor(Qt::PointingHandCursor);
    soundDetails->addWidget(m_testSound, 0, Qt::AlignLeft);
    sound->addWidget(m_soundDetails);
    m_soundDescription = description(m_soundSection);
    sound->addWidget(m_soundDescription);
    page->addWidget(m_soundSection);

    // Hotkey
    m_hotkeySection = new QGroupBox(this);
    auto* hotkey = new QVBoxLayout(m_hotkeySection);
    m_hotkey = new QCheckBox(m_hotkeySection);
    m_hotkey->setIcon(SymbolIcon::icon(QStringLiteral("keyboard")));
    hotkey->addWidget(m_hotkey);
    m_hotkeyRow = new QWidget(m_hotkeySection);
    auto* keys = new QHBoxLayout(m_hotkeyRow);
    keys->setContentsMargins(0, 0, 0, 0);
    keys->setSpacing(4);
    m_hotkeyTitle = new QLabel(m_hotkeyRow);
    UiStyle::makeSecondary(m_hotkeyTitle);
    keys->addWidget(m_hotkeyTitle);
    keys->addStretch(1);
    for (const QString& cap : hotkeyKeyCaps()) {
        auto* key = new KeyboardKeyView(cap, m_hotkeyRow);
        m_keyCaps.append(key);
        keys->addWidget(key);
    }
    hotkey->addWidget(m_hotkeyRow);
    m_hotkeyDescription = description(m_hotkeySection);
    hotkey->addWidget(m_hotkeyDescription);
    m_pauseBinding = new QLabel(m_hotkeySection);
    m_pauseBinding->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_pauseBinding->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pauseBinding->hide();
    hotkey->addWidget(m_pauseBinding);
    page->addWidget(m_hotkeySection);

    // Menu bar
    m_menuSection = new QGroupBox(this);
    auto* menu = new QVBoxLayout(m_menuSection);
    m_menuFlag = new QCheckBox(m_menuSection);
    m_menuFlag->setIcon(SymbolIcon::icon(QStringLiteral("flag")));
    menu->addWidget(m_menuFlag);
    m_menuDescription = description(m_menuSection);
    menu->addWidget(m_menuDescription);
    page->addWidget(m_menuSection);

    // Backup
    m_backupSection = new QGroupBox(this);
    auto* backup = new QVBoxLayout(m_backupSection);
    auto* backupRow = new QHBoxLayout;
    m_export = new QPushButton(SymbolIcon::icon(QStringLiteral("square.and.arrow.up")), QString(), m_backupSection);
    m_import = new QPushButton(SymbolIcon::icon(QStringLiteral("square.and.arrow.down")), QString(), m_backupSection);
    backupRow->addWidget(m_export);
    backupRow->addWidget(m_import);
    backupRow->addStretch(1);
    backup->addLayout(backupRow);
    m_backupDescription = description(m_backupSection);
    backup->addWidget(m_backupDescription);
    page->addWidget(m_backupSection);
    page->addStretch(1);

    for (IndicatorPosition position : IndicatorPositions::allCases())
        m_position->addItem(IndicatorPositions::displayName(position), IndicatorPositions::rawValue(position));

    connect(m_indicator, &QCheckBox::toggled, this, [this](bool on) {
        Preferences::setValue(kIndicatorEnabled, on);
        showDependentRows();
    });
    connect(m_position, &QComboBox::activated, this,
            [this](int index) { Preferences::setValue(kIndicatorPosition, m_position->itemData(index)); });
    connect(m_duration, &QSlider::valueChanged, this, [this](int step) {
        const double seconds = step * kDurationStep;
        Preferences::setValue(kIndicatorDuration, seconds);
        m_durationValue->setText(durationText(seconds));
    });
    connect(m_sound, &QCheckBox::toggled, this, [this](bool on) {
        Preferences::setValue(kSoundEnabled, on);
        showDependentRows();
    });
    connect(m_volume, &QSlider::valueChanged, this, [this](int step) {
        const double volume = step * kVolumeStep;
        Preferences::setValue(kSoundVolume, volume);
        m_volumeValue->setText(volumeText(volume));
    });
    connect(m_testSound, &QPushButton::clicked, this, [] {
        if (auto& services = SettingsServices::current(); services.sounds)
            services.sounds().playSwitchSound();
    });
    connect(m_hotkey, &QCheckBox::toggled, this, [this](bool on) {
        Preferences::setValue(kPauseHotkeyEnabled, on);
        showDependentRows();
        auto& services = SettingsServices::current();
        if (!services.hotkeys)
            return;
        if (on)
            services.hotkeys().startMonitoring();
        else
            services.hotkeys().stopMonitoring();
    });
    connect(m_menuFlag, &QCheckBox::toggled, this, [](bool on) { Preferences::setValue(kMenuBarShowFlag, on); });
    connect(m_export, &QPushButton::clicked, this, &ProSettingsView::exportRules);
    connect(m_import, &QPushButton::clicked, this, &ProSettingsView::importRules);

    retranslate();
    reload();
    WheelGuard::protect(this);
}

QString ProSettingsView::durationText(double seconds)
{
    return QString::asprintf("%.1fs", seconds);
}

QString ProSettingsView::volumeText(double volume)
{
    // Whole percent, truncated; the small epsilon keeps 0.29 * 100 = 28.999...
    // from reading as a step below what the slider shows.
    const double percent = volume * 100.0;
    return QStringLiteral("%1%").arg(static_cast<long long>(std::trunc(percent + 1e-9)));
}

QStringList ProSettingsView::hotkeyKeyCaps()
{
    return QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P).toString(QKeySequence::PortableText).split(QLatin1Char('+'));
}

void ProSettingsView::reload()
{
    const QSignalBlocker b1(m_indicator), b2(m_position), b3(m_duration), b4(m_sound), b5(m_volume), b6(m_hotkey),
        b7(m_menuFlag);
    m_indicator->setChecked(shownValue(PreferenceKeys::indicatorEnabled));
    const auto position = IndicatorPositions::fromRawValue(
        Preferences::stringValue(kIndicatorPosition, PreferenceKeys::indicatorPosition.pageDefault.toString()));
    m_position->setCurrentIndex(
        qMax(0, m_position->findData(IndicatorPositions::rawValue(position.value_or(IndicatorPosition::topCenter)))));
    // Values written by hand or by another program are held to what the
    // controls can show, never converted to an integer out of range.
    const double duration = InputSourceIndicatorController::displayDuration();
    m_duration->setValue(static_cast<int>(std::lround(duration / kDurationStep)));
    m_durationValue->setText(durationText(duration));
    m_sound->setChecked(shownValue(PreferenceKeys::soundEnabled));
    const double volume = std::clamp(
        Preferences::doubleValue(kSoundVolume, PreferenceKeys::soundVolume.pageDefault.toDouble()), 0.0, 1.0);
    m_volume->setValue(static_cast<int>(std::lround(volume / kVolumeStep)));
    m_volumeValue->setText(volumeText(volume));
    m_hotkey->setChecked(shownValue(PreferenceKeys::pauseHotkeyEnabled));
    showPauseKeyBinding();
    m_menuFlag->setChecked(shownValue(PreferenceKeys::menuBarShowFlag));
    showDependentRows();
}

// Where Tolvane cannot watch the keyboard, its own hotkey cannot be switched
// on; the page shows the compositor binding that does the same instead.
void ProSettingsView::showPauseKeyBinding()
{
    const auto& binding = SettingsServices::current().pauseKeyBinding;
    const QString line = binding ? binding() : QString();
    m_pauseBinding->setText(line);
    m_pauseBinding->setVisible(!line.isEmpty());
    const auto& hint = SettingsServices::current().pauseKeyBindingHint;
    m_desktopBindsPauseKey = !line.isEmpty() || (hint && !hint().isEmpty());
    m_hotkey->setEnabled(!m_desktopBindsPauseKey);
    retranslateHotkeyDescription();
}

void ProSettingsView::retranslateHotkeyDescription()
{
    if (!m_desktopBindsPauseKey) {
        m_hotkeyDescription->setText(Tolvane::tr("Use keyboard shortcut to toggle auto-switching on/off."));
        return;
    }
    // The desktop's text is translated when read: read again in the new language.
    const auto& hint = SettingsServices::current().pauseKeyBindingHint;
    const QString text = hint ? hint() : QString();
    m_hotkeyDescription->setText(!text.isEmpty()
                                     ? text
                                     : Tolvane::tr("On Wayland no application may watch the keyboard. Pause and "
                                                   "resume from the tray menu, or add this line to your "
                                                   "compositor's configuration:"));
}

void ProSettingsView::showDependentRows()
{
    m_indicatorDetails->setVisible(m_indicator->isChecked());
    m_soundDetails->setVisible(m_sound->isChecked());
    m_hotkeyRow->setVisible(m_hotkey->isChecked() && !m_desktopBindsPauseKey);
}

void ProSettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    reload();
}

void ProSettingsView::retranslate()
{
    UiStyle::setSectionTitle(m_indicatorSection, Tolvane::tr("Visual Indicator"));
    m_indicator->setText(Tolvane::tr("Show Input Source Indicator"));
    m_positionLabel->setText(Tolvane::tr("Position"));
    m_position->setAccessibleName(Tolvane::tr("Position"));
    const QList<IndicatorPosition> positions = IndicatorPositions::allCases();
    for (int row = 0; row < positions.size() && row < m_position->count(); ++row)
        m_position->setItemText(row, IndicatorPositions::displayName(positions.at(row)));
    m_durationTitle->setText(Tolvane::tr("Display Duration"));
    m_duration->setAccessibleName(Tolvane::tr("Display Duration"));
    m_indicatorDescription->setText(Tolvane::tr("Shows a floating indicator when input source changes."));
    UiStyle::setSectionTitle(m_soundSection, Tolvane::tr("Sound Effects"));
    m_sound->setText(Tolvane::tr("Play Sound on Switch"));
    m_volumeTitle->setText(Tolvane::tr("Volume"));
    m_volume->setAccessibleName(Tolvane::tr("Volume"));
    m_testSound->setText(Tolvane::tr("Test Sound"));
    m_soundDescription->setText(Tolvane::tr("Plays a subtle sound when input source changes."));
    UiStyle::setSectionTitle(m_hotkeySection, Tolvane::tr("Global Hotkey"));
    m_hotkey->setText(Tolvane::tr("Enable Global Hotkey"));
    m_hotkeyTitle->setText(Tolvane::tr("Pause/Resume"));
    retranslateHotkeyDescription();
    UiStyle::setSectionTitle(m_menuSection, Tolvane::tr("Tray"));
    m_menuFlag->setText(Tolvane::tr("Show Flag in Tray"));
    m_menuDescription->setText(Tolvane::tr("Display country flag emoji representing current input source."));
    UiStyle::setSectionTitle(m_backupSection, Tolvane::tr("Backup & Restore"));
    m_export->setText(Tolvane::tr("Export Rules"));
    m_import->setText(Tolvane::tr("Import Rules"));
    m_backupDescription->setText(Tolvane::tr("Backup and restore your rules as JSON files."));
}

void ProSettingsView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ProSettingsView::exportRules()
{
    if (m_exporter)
        return;
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = RulesDocument::defaultFileName() + QLatin1Char('.') + RulesDocument::fileExtension();
    m_exporter = new QFileDialog(this, Tolvane::tr("Export Rules"), dir, Tolvane::tr("JSON files (*.json)"));
    m_exporter->setAttribute(Qt::WA_DeleteOnClose);
    m_exporter->setAcceptMode(QFileDialog::AcceptSave);
    m_exporter->setFileMode(QFileDialog::AnyFile);
    m_exporter->setDefaultSuffix(RulesDocument::fileExtension());
    m_exporter->selectFile(name);
    // Every kind of file dialog ends in accepted(); not every kind emits the
    // file-selection signals.
    QFileDialog* dialog = m_exporter;
    connect(dialog, &QFileDialog::accepted, this,
            [this, dialog] { handleExportLocation(dialog->selectedFiles().value(0)); });
    m_exporter->open();
}

void ProSettingsView::handleExportLocation(const QString& path)
{
    auto& services = SettingsServices::current();
    if (path.isEmpty() || !services.rulesExport)
        return;
    QString reason;
    if (!services.rulesExport().exportRules(QUrl::fromLocalFile(path), &reason))
        showAlert(
            Tolvane::tr("Export Failed"),
            Tolvane::tr("The rules could not be exported to “%1”: %2").arg(QDir::toNativeSeparators(path), reason));
}

void ProSettingsView::importRules()
{
    if (m_importer)
        return;
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    m_importer = new QFileDialog(this, Tolvane::tr("Import Rules"), dir, Tolvane::tr("JSON files (*.json)"));
    m_importer->setAttribute(Qt::WA_DeleteOnClose);
    m_importer->setAcceptMode(QFileDialog::AcceptOpen);
    m_importer->setFileMode(QFileDialog::ExistingFile);
    QFileDialog* dialog = m_importer;
    connect(dialog, &QFileDialog::accepted, this, [this, dialog] { handleImportLocations(dialog->selectedUrls()); });
    m_importer->open();
}

void ProSettingsView::handleImportLocations(const QList<QUrl>& locations)
{
    auto& services = SettingsServices::current();
    if (!services.rulesExport)
        return;
    if (const std::optional<QString> result = services.rulesExport().importCompleted(locations)) {
        showAlert(Tolvane::tr("Import Result"), *result);
    }
}

void ProSettingsView::showAlert(const QString& title, const QString& text)
{
    if (m_alert)
        m_alert->deleteLater();
    m_alert = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::NoButton, this);
    m_alert->addButton(Tolvane::tr("OK"), QMessageBox::RejectRole);
    m_alert->setAttribute(Qt::WA_DeleteOnClose);
    m_alert->setWindowModality(Qt::WindowModal);
    m_alert->open();
}
