#include "AddRuleView.h"

#include "AppIconView.h"
#include "ApplicationChooser.h"
#include "SettingsServices.h"
#include "UiStyle.h"
#include "WheelGuard.h"
#include "base/Tolvane.h"
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "platform/ApplicationCatalogue.h"
#include "platform/InputSourceProvider.h"
#include "services/LocalizationManager.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

AddRuleView::AddRuleView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, QWidget* parent)
    : QDialog(parent)
    , m_ruleEngine(ruleEngine)
    , m_inputSourceManager(inputSourceManager)
{
    setWindowModality(Qt::WindowModal);
    setFixedSize(450, 400);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(20);
    m_title = new QLabel(this);
    m_title->setFont(UiStyle::headlineFont(font()));
    m_title->setAlignment(Qt::AlignCenter);
    column->addWidget(m_title);

    m_appSection = new QGroupBox(this);
    auto* appForm = new QFormLayout(m_appSection);
    appForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_apps = new QComboBox(m_appSection);
    m_apps->setIconSize(QSize(16, 16));
    m_appsLabel = new QLabel(m_appSection);
    m_appsLabel->setBuddy(m_apps);
    appForm->addRow(m_appsLabel, m_apps);
    m_manualRow = new QWidget(m_appSection);
    auto* manualLayout = new QHBoxLayout(m_manualRow);
    manualLayout->setContentsMargins(0, 0, 0, 0);
    m_manualName = new QLabel(m_manualRow);
    m_manualName->setTextFormat(Qt::PlainText);
    m_manualName->setFont(UiStyle::headlineFont(font()));
    m_manualID = new QLabel(m_manualRow);
    m_manualID->setTextFormat(Qt::PlainText);
    m_manualID->setFont(UiStyle::captionFont(font()));
    UiStyle::makeSecondary(m_manualID);
    manualLayout->addWidget(m_manualName, 1);
    manualLayout->addWidget(m_manualID);
    appForm->addRow(m_manualRow);
    m_choose = new QPushButton(m_appSection);
    appForm->addRow(m_choose);
    column->addWidget(m_appSection);

    m_sourceSection = new QGroupBox(this);
    auto* sourceForm = new QFormLayout(m_sourceSection);
    sourceForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_sources = new QComboBox(m_sourceSection);
    m_sourcesLabel = new QLabel(m_sourceSection);
    m_sourcesLabel->setBuddy(m_sources);
    sourceForm->addRow(m_sourcesLabel, m_sources);
    column->addWidget(m_sourceSection);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    m_cancel = new QPushButton(this);
    m_add = new QPushButton(this);
    m_add->setDefault(true);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_add);
    column->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, &AddRuleView::addRule);
    connect(m_choose, &QPushButton::clicked, this, &AddRuleView::openApplicationChooser);
    connect(m_apps, &QComboBox::currentIndexChanged, this, [this](int index) {
        // Picking a running application replaces a choice made on disk.
        if (index > 0) {
            m_manualAppName.reset();
            m_manualBundleID.reset();
        }
        refresh();
    });
    connect(m_sources, &QComboBox::currentIndexChanged, this, &AddRuleView::refresh);

    const auto& services = SettingsServices::current();
    m_runningApps = sortedRegularApplications(services.runningApplications ? services.runningApplications()
                                                                           : QList<RunningApplication>{});
    retranslate();
    refresh();
    WheelGuard::protect(this);
}

QList<RunningApplication> AddRuleView::sortedRegularApplications(QList<RunningApplication> apps)
{
    apps.erase(std::remove_if(apps.begin(), apps.end(),
                              [](const RunningApplication& app) {
                                  return app.activationPolicy != RunningApplication::ActivationPolicy::Regular;
                              }),
               apps.end());
    std::stable_sort(apps.begin(), apps.end(), [](const RunningApplication& a, const RunningApplication& b) {
        const QList<uint> left = a.localizedName.normalized(QString::NormalizationForm_C).toUcs4();
        const QList<uint> right = b.localizedName.normalized(QString::NormalizationForm_C).toUcs4();
        return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
    });
    return apps;
}

QString AddRuleView::desktopEntryLanguage()
{
    const auto& services = SettingsServices::current();
    QString code = services.localization ? services.localization().currentLanguage() : QStringLiteral("system");
    if (code == QLatin1String("system"))
        return QLocale().name();
    if (code == QLatin1String("zh-Hans"))
        return QStringLiteral("zh_CN");
    return code.replace(QLatin1Char('-'), QLatin1Char('_'));
}

void AddRuleView::fillPickers()
{
    const int appIndex = m_apps->currentIndex();
    const QString sourceID = selectedInputSourceID();
    const QSignalBlocker appBlocker(m_apps);
    const QSignalBlocker sourceBlocker(m_sources);

    m_apps->clear();
    m_apps->addItem(Tolvane::tr("Select Running App"));
    for (const RunningApplication& app : std::as_const(m_runningApps)) {
        const QString name = app.localizedName.isEmpty() ? Tolvane::tr("Unknown") : app.localizedName;
        m_apps->addItem(AppIconView::iconOf(app), name);
    }
    m_apps->setCurrentIndex(qMax(0, appIndex));

    m_sources->clear();
    m_sources->addItem(Tolvane::tr("Select Input Source"), QString());
    for (const InputSource& source : m_inputSourceManager.installedInputSources())
        m_sources->addItem(source.name, source.id);
    m_sources->setCurrentIndex(qMax(0, m_sources->findData(sourceID)));
}

void AddRuleView::retranslate()
{
    setWindowTitle(Tolvane::tr("Add New Rule"));
    m_title->setText(Tolvane::tr("Add New Rule"));
    UiStyle::setSectionTitle(m_appSection, Tolvane::tr("Target App"));
    UiStyle::setSectionTitle(m_sourceSection, Tolvane::tr("Input Source"));
    m_appsLabel->setText(Tolvane::tr("Running Apps"));
    m_sourcesLabel->setText(Tolvane::tr("Switch To"));
    m_apps->setAccessibleName(Tolvane::tr("Running Apps"));
    m_sources->setAccessibleName(Tolvane::tr("Switch To"));
    m_choose->setText(Tolvane::tr("Choose from Applications..."));
    m_cancel->setText(Tolvane::tr("Cancel"));
    m_add->setText(Tolvane::tr("Add Rule"));
    fillPickers();
    refresh();
}

void AddRuleView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

std::optional<RunningApplication> AddRuleView::selectedApp() const
{
    const int index = m_apps->currentIndex() - 1;
    if (index < 0 || index >= m_runningApps.size())
        return std::nullopt;
    return m_runningApps.at(index);
}

QString AddRuleView::selectedInputSourceID() const
{
    return m_sources->currentData().toString();
}

bool AddRuleView::canAdd() const
{
    const bool hasTarget = selectedApp().has_value() || (m_manualAppName && m_manualBundleID);
    return hasTarget && !selectedInputSourceID().isEmpty();
}

void AddRuleView::refresh()
{
    const bool manual = m_manualAppName && m_manualBundleID;
    m_manualRow->setVisible(manual);
    if (manual) {
        m_manualName->setText(Tolvane::tr("Selected:") + QLatin1Char(' ') + *m_manualAppName);
        m_manualID->setText(*m_manualBundleID);
    }
    m_add->setEnabled(canAdd());
}

void AddRuleView::selectRunningApp(int index)
{
    m_apps->setCurrentIndex(index + 1);
}

void AddRuleView::selectInputSource(const QString& id)
{
    m_sources->setCurrentIndex(qMax(0, m_sources->findData(id)));
}

void AddRuleView::openApplicationChooser()
{
    if (m_chooser)
        return;
    m_chooser = new ApplicationChooser(desktopEntryLanguage(), this);
    m_chooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_chooser, &ApplicationChooser::applicationChosen, this, &AddRuleView::useChosenApplication);
    connect(m_chooser, &ApplicationChooser::fileChosen, this,
            [this](const QString& path) { handleChosenFiles({path}); });
    // A chooser that closes right after its file dialog is gone before the
    // window manager handed it the focus back, which then lands on whatever
    // window was under it, often another application's: take it back here.
    connect(m_chooser, &QDialog::finished, this, [this] { activateWindow(); });
    m_chooser->open();
}

void AddRuleView::useChosenApplication(const QString& id, const QString& name)
{
    m_manualBundleID = id;
    m_manualAppName = name.isEmpty() ? id : name;
    {
        const QSignalBlocker blocker(m_apps);
        m_apps->setCurrentIndex(0);
    }
    refresh();
}

void AddRuleView::handleChosenFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    ApplicationCatalogue* catalogue = SettingsServices::current().applicationCatalogue();
    if (!catalogue) {
        showError(Tolvane::tr("Unable to access the selected application"));
        return;
    }
    const ApplicationCatalogue::FileAnswer answer = catalogue->describedBy(paths.first(), desktopEntryLanguage());
    if (answer.application) {
        useChosenApplication(answer.application->id, answer.application->name);
        return;
    }
    switch (answer.problem) {
    case ApplicationCatalogue::FileProblem::WrongKind:
        showError(Tolvane::tr("Please choose a .desktop application entry."));
        break;
    case ApplicationCatalogue::FileProblem::Unreadable:
        showError(Tolvane::tr("Unable to access the selected application"));
        break;
    case ApplicationCatalogue::FileProblem::NotAnApplication:
        showError(Tolvane::tr("The chosen file is not an application entry."));
        break;
    }
}

void AddRuleView::showError(const QString& message)
{
    m_errorMessage = message;
    if (m_errorAlert)
        m_errorAlert->deleteLater();
    m_errorAlert = new QMessageBox(QMessageBox::Warning, Tolvane::tr("Error"),
                                   message.isEmpty() ? Tolvane::tr("Unknown error occurred") : message,
                                   QMessageBox::NoButton, this);
    m_errorAlert->addButton(Tolvane::tr("OK"), QMessageBox::RejectRole);
    m_errorAlert->setAttribute(Qt::WA_DeleteOnClose);
    m_errorAlert->setWindowModality(Qt::WindowModal);
    m_errorAlert->open();
}

void AddRuleView::addRule()
{
    AppRule rule;
    if (const auto app = selectedApp()) {
        rule.appName = app->localizedName.isEmpty() ? QStringLiteral("Unknown") : app->localizedName;
        rule.appBundleID = app->bundleIdentifier.value_or(QString());
    } else if (m_manualAppName && m_manualBundleID) {
        rule.appName = *m_manualAppName;
        rule.appBundleID = *m_manualBundleID;
    }
    if (rule.appBundleID.isEmpty() || selectedInputSourceID().isEmpty())
        return;
    rule.id = QUuid::createUuid();
    rule.targetInputSourceID = selectedInputSourceID();
    rule.isEnabled = true;
    m_ruleEngine.addRule(rule);
    accept();
}
