#include "UiTestServices.h"

#include "core/Preferences.h"
#include "core/Tolvane.h"
#include "services/PermissionsManager.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"
#include "ui/AboutView.h"
#include "ui/AddRuleView.h"
#include "ui/EditRuleView.h"
#include "ui/GeneralSettingsView.h"
#include "ui/KeyboardKeyView.h"
#include "ui/ProSettingsView.h"
#include "ui/RuleListView.h"
#include "ui/SettingsView.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

class SettingsPagesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void resetRemovesExactlyTheSettingsKeys();
    void cancelledResetChangesNothing();
    void resetStopsARunningHotkeyMonitor();
    void defaultSourcePickerStoresAtOnce();
    void launchAtLoginFailureShowsInRed();
    void languagePickerAppliesAndStores();
    void websiteAndUpdates();

    void sliderSteps_data();
    void sliderSteps();
    void volumeAndDurationTexts_data();
    void volumeAndDurationTexts();
    void dependentRowsFollowTheirToggles();
    void hotkeyToggleStartsAndStopsTheMonitor();
    void hotkeyKeyCaps();
    void importResultMessages_data();
    void importResultMessages();
    void exportProposesTheBackupName();

    void aboutVersionText_data();
    void aboutVersionText();
    void supportLogsBeforeOpening();

    void everyControlIsReachableAndNamed_data();
    void everyControlIsReachableAndNamed();

private:
    std::unique_ptr<UiTestServices> m_services;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void SettingsPagesTest::init()
{
    QFile::remove(RuleEngine::rulesFileURL());
    Preferences::store().clear();
    m_services = std::make_unique<UiTestServices>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void SettingsPagesTest::cleanup()
{
    m_services.reset();
    Preferences::store().clear();
}

void SettingsPagesTest::resetRemovesExactlyTheSettingsKeys()
{
    const QStringList resetKeys{"appLanguage",       "showNotification", "soundEnabled",
                                "soundVolume",       "indicatorEnabled", "indicatorPosition",
                                "indicatorDuration", "menuBarShowFlag",  "pauseHotkeyEnabled"};
    QCOMPARE(GeneralSettingsView::resetKeys(), resetKeys);
    m_services->engine().addRule(makeRule("kitty", "xkb:de"));
    const QList<AppRule> rules = m_services->engine().rules();
    m_services->localization->setLanguage(QStringLiteral("de"), true);
    m_services->engine().setDefaultInputSourceID(QStringLiteral("xkb:ru"));
    for (const QString& key : resetKeys.mid(1))
        Preferences::setValue(key, true);
    Preferences::setValue(QStringLiteral("NSQuitAlwaysKeepsWindows"), false);
    Preferences::setValue(QStringLiteral("launchAtLogin"), true);
    Preferences::setValue(QStringLiteral("someOtherKey"), 7);

    GeneralSettingsView page(m_services->engine(), m_services->inputSources());
    page.show();
    QCOMPARE(page.selectedLanguage(), QStringLiteral("de"));
    QVERIFY(page.notificationToggle()->isChecked());
    page.confirmReset();
    QVERIFY(page.resetConfirmation());
    QCOMPARE(page.resetConfirmation()->windowTitle(), Tolvane::tr("Reset Settings"));
    RecordingLogSink log;
    QAbstractButton* reset = nullptr;
    for (QAbstractButton* button : page.resetConfirmation()->buttons()) {
        if (button->text() == Tolvane::tr("Reset"))
            reset = button;
    }
    QVERIFY(reset);
    reset->click();

    for (const QString& key : resetKeys)
        QVERIFY2(!Preferences::contains(key), qPrintable(key));
    QVERIFY(!Preferences::contains(QStringLiteral("defaultInputSourceID")));
    QVERIFY(!Preferences::contains(QStringLiteral("AppleLanguages")));
    QCOMPARE(Preferences::store().value(QStringLiteral("NSQuitAlwaysKeepsWindows")), QVariant(false));
    QCOMPARE(Preferences::store().value(QStringLiteral("launchAtLogin")).toBool(), true);
    QCOMPARE(Preferences::store().value(QStringLiteral("someOtherKey")).toInt(), 7);
    QCOMPARE(m_services->engine().defaultInputSourceID(), std::nullopt);
    QCOMPARE(m_services->localization->currentLanguage(), QStringLiteral("system"));
    QCOMPARE(page.selectedLanguage(), QStringLiteral("system"));
    QTRY_COMPARE(page.languagePicker()->currentText(), QStringLiteral("System Default"));
    QCOMPARE(page.defaultSourcePicker()->currentText(), QStringLiteral("None (Do nothing)"));
    QVERIFY(!page.notificationToggle()->isChecked());
    QCOMPARE(m_services->engine().rules(), rules);
    QVERIFY(log.lines().contains(QStringLiteral("info: All settings have been reset to defaults")));
}

void SettingsPagesTest::cancelledResetChangesNothing()
{
    Preferences::setValue(QStringLiteral("soundEnabled"), true);
    m_services->engine().setDefaultInputSourceID(QStringLiteral("xkb:de"));
    GeneralSettingsView page(m_services->engine(), m_services->inputSources());
    page.show();
    page.confirmReset();
    for (QAbstractButton* button : page.resetConfirmation()->buttons()) {
        if (button->text() == QLatin1String("Cancel"))
            button->click();
    }
    QTRY_VERIFY(!page.resetConfirmation());
    QVERIFY(Preferences::boolValue(QStringLiteral("soundEnabled")));
    QCOMPARE(m_services->engine().defaultInputSourceID(), std::optional<QString>(QStringLiteral("xkb:de")));
}

void SettingsPagesTest::resetStopsARunningHotkeyMonitor()
{
    ProSettingsView pro(m_services->engine());
    pro.show();
    QTest::keyClick(pro.hotkeyToggle(), Qt::Key_Space);
    QCOMPARE(m_services->monitor.live, 1);

    GeneralSettingsView page(m_services->engine(), m_services->inputSources());
    page.resetToDefaults();
    QCOMPARE(m_services->monitor.live, 0);
    QVERIFY(!m_services->hotkeys->isMonitoring());
    pro.hide();
    pro.show();
    QVERIFY(!pro.hotkeyToggle()->isChecked());
}

void SettingsPagesTest::defaultSourcePickerStoresAtOnce()
{
    GeneralSettingsView page(m_services->engine(), m_services->inputSources());
    QCOMPARE(page.defaultSourcePicker()->itemText(0), QStringLiteral("None (Do nothing)"));
    QCOMPARE(page.defaultSourcePicker()->count(), 4);
    page.show();
    page.defaultSourcePicker()->setFocus();
    QTest::keyClick(page.defaultSourcePicker(), Qt::Key_Down);
    QCOMPARE(m_services->engine().defaultInputSourceID(), std::optional<QString>(QStringLiteral("xkb:us")));
    QCOMPARE(Preferences::stringValue(QStringLiteral("defaultInputSourceID")), std::optional<QString>("xkb:us"));
    QTest::keyClick(page.defaultSourcePicker(), Qt::Key_Up);
    QCOMPARE(m_services->engine().defaultInputSourceID(), std::nullopt);
    QVERIFY(!Preferences::contains(QStringLiteral("defaultInputSourceID")));
}

void SettingsPagesTest::launchAtLoginFailureShowsInRed()
{
    m_services->login.failure = QStringLiteral("autostart folder is read-only");
    GeneralSettingsView page(m_services->engine(), m_services->inputSources());
    page.show();
    QVERIFY(!page.launchErrorLabel()->isVisible());
    QTest::keyClick(page.launchAtLoginToggle(), Qt::Key_Space);
    QTRY_VERIFY(page.launchErrorLabel()->isVisible());
    QVERIFY(page.launchErrorLabel()->text().contains(QStringLiteral("read-only")));
    QTRY_VERIFY(!page.launchAtLoginToggle()->isChecked());

    m_services->login.failure.reset();
    QTest::keyClick(page.launchAtLoginToggle(), Qt::Key_Space);
    QTRY_VERIFY(!page.launchErrorLabel()->isVisible());
    QVERIFY(page.launchAtLoginToggle()->isChecked());
    QVERIFY(m_services->login.registered);
}

void SettingsPagesTest::languagePickerAppliesAndStores()
{
    GeneralSettingsView page(m_services->engine(), m_services->inputSources());
    page.show();
    QCOMPARE(page.languagePicker()->itemText(0), QStringLiteral("System Default"));
    QCOMPARE(page.languagePicker()->itemText(3), QStringLiteral("日本語"));
    page.languagePicker()->setFocus();
    QTest::keyClick(page.languagePicker(), Qt::Key_End);
    QCOMPARE(m_services->localization->currentLanguage(), QStringLiteral("pt"));
    QCOMPARE(Preferences::stringValue(QStringLiteral("appLanguage")), std::optional<QString>("pt"));
    // The page follows the new language at once.
    QVERIFY(Tolvane::tr("Launch at Login") != QLatin1String("Launch at Login"));
    QTRY_COMPARE(page.launchAtLoginToggle()->text(), Tolvane::tr("Launch at Login"));
    QTRY_COMPARE(page.languagePicker()->itemText(0), Tolvane::tr("System Default"));
    QCOMPARE(page.selectedLanguage(), QStringLiteral("pt"));
    m_services->localization->setLanguage(QStringLiteral("system"), true);
    QTRY_COMPARE(page.launchAtLoginToggle()->text(), QStringLiteral("Launch at Login"));
}

void SettingsPagesTest::websiteAndUpdates()
{
    GeneralSettingsView page(m_services->engine(), m_services->inputSources());
    page.show();
    QTest::keyClick(page.checkForUpdatesButton(), Qt::Key_Space);
    QTest::keyClick(page.checkForUpdatesButton(), Qt::Key_Space);
    QCOMPARE(m_services->updateChecks, 2);
    QVERIFY(page.checkForUpdatesButton()->isEnabled());
    QTest::keyClick(page.websiteButton(), Qt::Key_Space);
    QCOMPARE(m_services->opened.size(), 1);
    QCOMPARE(m_services->opened.first().scheme(), QStringLiteral("https"));
}

void SettingsPagesTest::sliderSteps_data()
{
    QTest::addColumn<int>("slider"); // 0 duration, 1 volume
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("duration") << 0 << QStringList{"0.5s", "1.0s", "1.5s", "2.0s", "2.5s", "3.0s"};
    QTest::newRow("volume") << 1
                            << QStringList{"10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%"};
}

void SettingsPagesTest::sliderSteps()
{
    QFETCH(int, slider);
    QFETCH(QStringList, texts);
    Preferences::setValue(QStringLiteral("indicatorEnabled"), true);
    Preferences::setValue(QStringLiteral("soundEnabled"), true);
    ProSettingsView page(m_services->engine());
    page.show();
    QSlider* control = slider == 0 ? page.durationSlider() : page.volumeSlider();
    QLabel* label = slider == 0 ? page.durationLabel() : page.volumeLabel();
    const QString key = slider == 0 ? QStringLiteral("indicatorDuration") : QStringLiteral("soundVolume");
    QCOMPARE(label->text(), slider == 0 ? QStringLiteral("1.5s") : QStringLiteral("50%"));
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Home);
    QStringList seen{label->text()};
    QList<double> stored{Preferences::doubleValue(key)};
    for (int i = 1; i < texts.size() + 2; ++i) { // two presses past the end stay there
        QTest::keyClick(control, Qt::Key_Right);
        if (seen.last() != label->text()) {
            seen.append(label->text());
            stored.append(Preferences::doubleValue(key));
        }
    }
    QCOMPARE(seen, texts);
    const double step = slider == 0 ? 0.5 : 0.1;
    for (int i = 0; i < stored.size(); ++i)
        QVERIFY2(qAbs(stored.at(i) - step * (i + 1)) < 1e-9, qPrintable(QString::number(stored.at(i))));
}

void SettingsPagesTest::volumeAndDurationTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("duration");
    QTest::newRow("0.1") << 0.1 << "10%" << "0.1s";
    QTest::newRow("0.3") << 0.3 << "30%" << "0.3s";
    QTest::newRow("0.57") << 0.57 << "57%" << "0.6s";
    QTest::newRow("0.999") << 0.999 << "99%" << "1.0s";
    QTest::newRow("1.0") << 1.0 << "100%" << "1.0s";
    QTest::newRow("2.5") << 2.5 << "250%" << "2.5s";
}

void SettingsPagesTest::volumeAndDurationTexts()
{
    QFETCH(double, value);
    QFETCH(QString, volume);
    QFETCH(QString, duration);
    QCOMPARE(ProSettingsView::volumeText(value), volume);
    QCOMPARE(ProSettingsView::durationText(value), duration);
}

void SettingsPagesTest::dependentRowsFollowTheirToggles()
{
    ProSettingsView page(m_services->engine());
    page.show();
    QVERIFY(!page.positionPicker()->isVisible());
    QVERIFY(!page.durationSlider()->isVisible());
    QVERIFY(!page.volumeSlider()->isVisible());
    QVERIFY(!page.hotkeyRow()->isVisible());
    QVERIFY(!page.soundToggle()->isChecked());
    QVERIFY(!page.menuFlagToggle()->isChecked());

    QTest::keyClick(page.indicatorToggle(), Qt::Key_Space);
    QVERIFY(page.positionPicker()->isVisible());
    QVERIFY(Preferences::boolValue(QStringLiteral("indicatorEnabled")));
    QCOMPARE(page.positionPicker()->count(), 3);
    QCOMPARE(page.positionPicker()->itemText(0), QStringLiteral("Top"));
    page.positionPicker()->setFocus();
    QTest::keyClick(page.positionPicker(), Qt::Key_End);
    QCOMPARE(Preferences::stringValue(QStringLiteral("indicatorPosition")), std::optional<QString>("bottom"));

    QTest::keyClick(page.soundToggle(), Qt::Key_Space);
    QVERIFY(page.volumeSlider()->isVisible());
    QVERIFY(page.testSoundButton()->isVisible());
    QTest::keyClick(page.menuFlagToggle(), Qt::Key_Space);
    QCOMPARE(Preferences::store().value(QStringLiteral("menuBarShowFlag")).toBool(), true);
}

void SettingsPagesTest::hotkeyToggleStartsAndStopsTheMonitor()
{
    ProSettingsView page(m_services->engine());
    page.show();
    QCOMPARE(m_services->monitor.live, 0);
    QTest::keyClick(page.hotkeyToggle(), Qt::Key_Space);
    QVERIFY(Preferences::boolValue(QStringLiteral("pauseHotkeyEnabled")));
    QCOMPARE(m_services->monitor.live, 1);
    QVERIFY(page.hotkeyRow()->isVisible());
    QTest::keyClick(page.hotkeyToggle(), Qt::Key_Space);
    QCOMPARE(Preferences::store().value(QStringLiteral("pauseHotkeyEnabled")).toBool(), false);
    QCOMPARE(m_services->monitor.live, 0);
    QVERIFY(!page.hotkeyRow()->isVisible());
    QTest::keyClick(page.hotkeyToggle(), Qt::Key_Space);
    QCOMPARE(m_services->monitor.live, 1);
}

void SettingsPagesTest::hotkeyKeyCaps()
{
    ProSettingsView page(m_services->engine());
    QStringList caps;
    for (KeyboardKeyView* key : page.keyCaps())
        caps.append(key->symbol());
    QCOMPARE(caps, (QStringList{"Ctrl", "Alt", "P"}));
}

void SettingsPagesTest::importResultMessages_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("chooseNothing");
    QTest::addColumn<QString>("message");
    QTest::newRow("two rules")
        << QByteArray(R"([{"id":"AAAAAAAA-0000-4000-8000-000000000001","appBundleID":"kitty","appName":"Kitty",)"
                      R"("targetInputSourceID":"xkb:de","isEnabled":true},)"
                      R"({"id":"AAAAAAAA-0000-4000-8000-000000000002","appBundleID":"gedit","appName":"Gedit",)"
                      R"("targetInputSourceID":"xkb:ru","isEnabled":false}])")
        << false << "Successfully imported 2 rules";
    QTest::newRow("not a backup") << QByteArray("{\"hello\": 1}") << false
                                  << "Import failed: The file is not a valid Tolvane rules backup.";
    QTest::newRow("nothing chosen") << QByteArray() << true << "";
}

void SettingsPagesTest::importResultMessages()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, chooseNothing);
    QFETCH(QString, message);
    const QString path = m_dir->filePath(QStringLiteral("backup.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();

    ProSettingsView page(m_services->engine());
    page.show();
    page.handleImportLocations(chooseNothing ? QList<QUrl>{} : QList<QUrl>{QUrl::fromLocalFile(path)});
    QCOMPARE(page.importResult(), message);
    if (message.isEmpty()) {
        QVERIFY(!page.importResultAlert());
        return;
    }
    QVERIFY(page.importResultAlert());
    QCOMPARE(page.importResultAlert()->windowTitle(), QStringLiteral("Import Result"));
    QCOMPARE(page.importResultAlert()->text(), message);
    QCOMPARE(page.importResultAlert()->buttons().size(), 1);
    QCOMPARE(page.importResultAlert()->buttons().first()->text(), QStringLiteral("OK"));
}

void SettingsPagesTest::exportProposesTheBackupName()
{
    m_services->engine().addRule(makeRule("kitty", "xkb:de"));
    ProSettingsView page(m_services->engine());
    page.show();
    QTest::keyClick(page.exportButton(), Qt::Key_Space);
    QVERIFY(page.exporter());
    QCOMPARE(page.exporter()->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(page.exporter()->defaultSuffix(), QStringLiteral("json"));
    QVERIFY(page.exporter()->selectedFiles().value(0).endsWith(QStringLiteral("/Tolvane_Rules.json")));
    page.exporter()->reject();

    const QString path = m_dir->filePath(QStringLiteral("out.json"));
    page.handleExportLocation(path);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().contains("kitty"));
}

void SettingsPagesTest::aboutVersionText_data()
{
    QTest::addColumn<QString>("shortVersion");
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("text");
    QTest::newRow("both") << "2.3" << "41" << "v2.3 (41)";
    QTest::newRow("neither") << "" << "" << "v1.0 (1)";
    QTest::newRow("no build") << "0.1.0" << "" << "v0.1.0 (1)";
}

void SettingsPagesTest::aboutVersionText()
{
    QFETCH(QString, shortVersion);
    QFETCH(QString, build);
    QFETCH(QString, text);
    QCOMPARE(AboutView::versionText(shortVersion, build), text);
}

void SettingsPagesTest::supportLogsBeforeOpening()
{
    RecordingLogSink log;
    QStringList order;
    SettingsServices::current().openUrl = [&](const QUrl& url) {
        order.append(log.lines());
        order.append(QStringLiteral("open ") + url.toString(QUrl::FullyEncoded));
        return true;
    };
    AboutView page;
    page.show();
    QCOMPARE(page.nameLabel()->text(), QStringLiteral("Tolvane"));
    QTest::keyClick(page.supportButton(), Qt::Key_Space);
    QCOMPARE(order.size(), 2);
    QCOMPARE(order.at(0), QStringLiteral("info: 📧 Opening Gmail compose: ") + AboutView::supportLink());
    QVERIFY(order.at(1).startsWith(QStringLiteral("open https://mail.google.com/")));
    QVERIFY(order.at(1).endsWith(QStringLiteral("&su=Tolvane%20Support")));

    // The page follows the interface language while it is open; the version does not.
    const QString version = page.versionLabel()->text();
    m_services->localization->setLanguage(QStringLiteral("ja"), false);
    QTRY_COMPARE(page.supportButton()->text(), Tolvane::tr("Contact Support"));
    QVERIFY(page.supportButton()->text() != QLatin1String("Contact Support"));
    QCOMPARE(page.descriptionLabel()->text(), Tolvane::tr("Designed for ultimate productivity on macOS."));
    QCOMPARE(page.versionLabel()->text(), version);
    m_services->localization->setLanguage(QStringLiteral("system"), false);
    QTRY_COMPARE(page.supportButton()->text(), QStringLiteral("Contact Support"));
}

void SettingsPagesTest::everyControlIsReachableAndNamed_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("withRules");
    QTest::newRow("rules, empty") << int(SettingsView::RuleManagement) << false;
    QTest::newRow("rules, listed") << int(SettingsView::RuleManagement) << true;
    QTest::newRow("general") << int(SettingsView::GeneralSettings) << false;
    QTest::newRow("features") << int(SettingsView::Features) << false;
    QTest::newRow("about") << int(SettingsView::About) << false;
    QTest::newRow("add sheet") << 10 << false;
    QTest::newRow("edit sheet") << 11 << true;
}

void SettingsPagesTest::everyControlIsReachableAndNamed()
{
    QFETCH(int, page);
    QFETCH(bool, withRules);
    // Every optional row shown, so that its controls are checked too.
    for (const char* key : {"indicatorEnabled", "soundEnabled", "pauseHotkeyEnabled"})
        Preferences::setValue(QString::fromLatin1(key), true);
    if (withRules) {
        m_services->engine().addRule(makeRule("kitty", "xkb:de"));
        m_services->engine().addRule(makeRule("gedit", "xkb:ru"));
    }
    PermissionsManager permissions([] { return false; });
    SettingsView window(m_services->engine(), m_services->inputSources(), permissions);
    window.show();
    QWidget* top = &window;
    if (page < 10) {
        window.showPage(SettingsView::Page(page));
    } else if (page == 10) {
        window.ruleListView()->openAddSheet();
        top = window.ruleListView()->addSheet();
    } else {
        window.ruleListView()->openEditSheet(m_services->engine().rules().first());
        top = window.ruleListView()->editSheet();
    }
    QApplication::setActiveWindow(top);
    QVERIFY(QTest::qWaitForWindowActive(top));

    QSet<QWidget*> expected;
    for (QWidget* widget : top->findChildren<QWidget*>()) {
        if (widget->window() == top && widget->isVisible() && widget->isEnabled()
            && (widget->focusPolicy() & Qt::TabFocus))
            expected.insert(widget);
    }
    QVERIFY(!expected.isEmpty());

    QSet<QWidget*> reached;
    QWidget* first = nullptr;
    for (int i = 0; i < 200; ++i) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        if (focused == first)
            break;
        if (!first)
            first = focused;
        reached.insert(focused);
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    for (QWidget* widget : std::as_const(expected)) {
        const QString what = QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()),
                                                             widget->accessibleName());
        QVERIFY2(reached.contains(widget), qPrintable(QStringLiteral("not reachable with Tab: ") + what));
        QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(QStringLiteral("no accessible name: ") + what));
    }
}

TOLVANE_TEST_MAIN(SettingsPagesTest)
#include "SettingsPagesTest.moc"
