#include "UiTestServices.h"

#include "core/Preferences.h"
#include "core/Tolvane.h"
#include "feedback/InputSourceIndicatorController.h"
#include "services/PermissionsManager.h"
#include "services/UsageStatisticsManager.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"
#include "ui/AboutView.h"
#include "ui/GeneralSettingsView.h"
#include "ui/ProSettingsView.h"
#include "ui/RuleListView.h"
#include "ui/SettingsView.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>

namespace {

bool clickButton(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text) {
            button->click();
            return true;
        }
    }
    return false;
}

} // namespace

class SettingsPagesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QFile::remove(RuleEngine::rulesFileURL());
        Preferences::store().clear();
        m_services = std::make_unique<UiTestServices>();
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        m_services.reset();
        Preferences::store().clear();
    }

    void resetRemovesExactlyTheSettingsKeys()
    {
        const QStringList resetKeys{"appLanguage",       "showNotification", "soundEnabled",
                                    "soundVolume",       "indicatorEnabled", "indicatorPosition",
                                    "indicatorDuration", "menuBarShowFlag",  "pauseHotkeyEnabled"};
        m_services->engine().addRule(ruleFor("kitty", "xkb:de"));
        const QList<AppRule> rules = m_services->engine().rules();
        m_services->localization->setLanguage(QStringLiteral("de"), true);
        m_services->engine().setDefaultInputSourceID(QStringLiteral("xkb:ru"));
        for (const QString& key : resetKeys.mid(1))
            Preferences::setValue(key, true);
        Preferences::setValue(QStringLiteral("NSQuitAlwaysKeepsWindows"), false);
        Preferences::setValue(QStringLiteral("launchAtLogin"), true);
        m_services->hotkeys->startMonitoring();
        QCOMPARE(m_services->monitor.live, 1);
        ProSettingsView pro(m_services->engine());
        pro.show();

        GeneralSettingsView page(m_services->engine(), m_services->inputSources());
        page.show();
        QVERIFY(page.notificationToggle()->isChecked());
        page.confirmReset();
        QVERIFY(clickButton(page.resetConfirmation(), Tolvane::tr("Cancel")));
        QTRY_VERIFY(!page.resetConfirmation());
        QVERIFY(Preferences::contains(QStringLiteral("soundEnabled")));
        QCOMPARE(m_services->engine().defaultInputSourceID(), std::optional<QString>(QStringLiteral("xkb:ru")));

        page.confirmReset();
        QCOMPARE(page.resetConfirmation()->windowTitle(), Tolvane::tr("Reset Settings"));
        QVERIFY(clickButton(page.resetConfirmation(), Tolvane::tr("Reset")));
        for (const QString& key : resetKeys)
            QVERIFY2(!Preferences::contains(key), qPrintable(key));
        QVERIFY(!Preferences::contains(QStringLiteral("AppleLanguages")));
        QCOMPARE(Preferences::store().value(QStringLiteral("NSQuitAlwaysKeepsWindows")), QVariant(false));
        QCOMPARE(Preferences::store().value(QStringLiteral("launchAtLogin")).toBool(), true);
        QCOMPARE(m_services->engine().rules(), rules);
        QCOMPARE(m_services->engine().defaultInputSourceID(), std::nullopt);
        QCOMPARE(m_services->localization->currentLanguage(), QStringLiteral("system"));
        QTRY_COMPARE(page.languagePicker()->currentText(), QStringLiteral("System Default"));
        QCOMPARE(page.defaultSourcePicker()->currentText(), QStringLiteral("None (Do nothing)"));
        QVERIFY(!page.notificationToggle()->isChecked());
        // The running hotkey monitor stops, and the feature page shows it off.
        QCOMPARE(m_services->monitor.live, 0);
        pro.hide();
        pro.show();
        QVERIFY(!pro.hotkeyToggle()->isChecked());
    }

    void generalControlsTakeEffectAtOnce()
    {
        GeneralSettingsView page(m_services->engine(), m_services->inputSources());
        page.show();
        page.defaultSourcePicker()->setFocus();
        QTest::keyClick(page.defaultSourcePicker(), Qt::Key_Down);
        QCOMPARE(m_services->engine().defaultInputSourceID(), std::optional<QString>(QStringLiteral("xkb:us")));
        QTest::keyClick(page.defaultSourcePicker(), Qt::Key_Up);
        QCOMPARE(m_services->engine().defaultInputSourceID(), std::nullopt);

        QTest::keyClick(page.checkForUpdatesButton(), Qt::Key_Space);
        QCOMPARE(m_services->updateChecks, 1);
        QTest::keyClick(page.websiteButton(), Qt::Key_Space);
        QCOMPARE(m_services->opened.size(), 1);
        QCOMPARE(m_services->opened.first().scheme(), QStringLiteral("https"));

        // Usage statistics are shared until the user says no; the choice is stored.
        QVERIFY(page.shareStatisticsToggle()->isChecked());
        QTest::keyClick(page.shareStatisticsToggle(), Qt::Key_Space);
        QCOMPARE(Preferences::store().value(UsageStatisticsManager::sharingKey()), QVariant(false));
        QVERIFY(!UsageStatisticsManager::shared().isSharingEnabled());

        // A new language is stored, and the page follows it at once.
        page.languagePicker()->setFocus();
        QTest::keyClick(page.languagePicker(), Qt::Key_End);
        QCOMPARE(m_services->localization->currentLanguage(), QStringLiteral("pt"));
        QCOMPARE(Preferences::stringValue(QStringLiteral("appLanguage")), std::optional<QString>("pt"));
        QVERIFY(Tolvane::tr("Launch at Login") != QLatin1String("Launch at Login"));
        QTRY_COMPARE(page.launchAtLoginToggle()->text(), Tolvane::tr("Launch at Login"));
    }

    void launchAtLoginFailureShowsInRed()
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

    void sliderSteps_data()
    {
        QTest::addColumn<bool>("duration");
        QTest::addColumn<double>("stored"); // none when 0
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("texts");
        const QStringList volumes{"10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%"};
        const QStringList durations{"0.5s", "1.0s", "1.5s", "2.0s", "2.5s", "3.0s"};
        QTest::newRow("duration") << true << 0.0 << "1.5s" << durations;
        QTest::newRow("default volume") << false << 0.0 << "50%" << volumes;
        // Whole percent, truncated, without a floating-point error taking one off.
        QTest::newRow("volume 0.57") << false << 0.57 << "57%" << volumes;
        QTest::newRow("volume 0.999") << false << 0.999 << "99%" << volumes;
    }

    void sliderSteps()
    {
        QFETCH(bool, duration);
        QFETCH(double, stored);
        QFETCH(QString, shown);
        QFETCH(QStringList, texts);
        const QString key = duration ? QStringLiteral("indicatorDuration") : QStringLiteral("soundVolume");
        if (stored > 0)
            Preferences::setValue(key, stored);
        Preferences::setValue(QStringLiteral("indicatorEnabled"), true);
        Preferences::setValue(QStringLiteral("soundEnabled"), true);
        ProSettingsView page(m_services->engine());
        page.show();
        QSlider* control = duration ? page.durationSlider() : page.volumeSlider();
        QLabel* label = duration ? page.durationLabel() : page.volumeLabel();
        QCOMPARE(label->text(), shown);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Home);
        const double step = duration ? 0.5 : 0.1;
        for (int i = 0; i < texts.size() + 2; ++i) { // two presses past the end stay there
            const int at = qMin(i, texts.size() - 1);
            QCOMPARE(label->text(), texts.at(at));
            QVERIFY2(qAbs(Preferences::doubleValue(key) - step * (at + 1)) < 1e-9, qPrintable(texts.at(at)));
            QTest::keyClick(control, Qt::Key_Right);
        }
    }

    void storedNumbersWrittenByHandAreHeldToTheControls_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("step");
        QTest::addColumn<double>("used");
        const QString duration = QStringLiteral("indicatorDuration");
        const QString volume = QStringLiteral("soundVolume");
        QTest::newRow("duration 1e308") << duration << "1e308" << "3.0s" << 6 << 3.0;
        QTest::newRow("duration -1") << duration << "-1" << "1.5s" << 3 << 1.5;
        QTest::newRow("duration nan") << duration << "nan" << "1.5s" << 3 << 1.5;
        QTest::newRow("duration inf") << duration << "inf" << "1.5s" << 3 << 1.5;
        QTest::newRow("duration 0.1") << duration << "0.1" << "0.5s" << 1 << 0.5;
        QTest::newRow("volume 1e308") << volume << "1e308" << "100%" << 10 << 1.0;
        QTest::newRow("volume 7") << volume << "7" << "100%" << 10 << 1.0;
        QTest::newRow("volume -1") << volume << "-1" << "0%" << 1 << 0.0;
        QTest::newRow("volume nan") << volume << "nan" << "50%" << 5 << 0.5;
        QTest::newRow("volume -inf") << volume << "-inf" << "50%" << 5 << 0.5;
    }

    // Values another program or a hand-edited file left behind: no 309-digit
    // label, no "nans", no out-of-range conversion to an integer.
    void storedNumbersWrittenByHandAreHeldToTheControls()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(int, step);
        QFETCH(double, used);
        Preferences::setValue(key, stored);
        Preferences::setValue(QStringLiteral("indicatorEnabled"), true);
        Preferences::setValue(QStringLiteral("soundEnabled"), true);
        ProSettingsView page(m_services->engine());
        page.show();
        const bool isDuration = key == QLatin1String("indicatorDuration");
        QCOMPARE((isDuration ? page.durationLabel() : page.volumeLabel())->text(), shown);
        QCOMPARE((isDuration ? page.durationSlider() : page.volumeSlider())->value(), step);
        QCOMPARE(isDuration ? InputSourceIndicatorController::displayDuration() : m_services->sounds->volume(), used);
        QCOMPARE(Preferences::store().value(key).toString(), stored); // only shown held, not rewritten
    }

    void togglesShowTheirRowsAndStore()
    {
        ProSettingsView page(m_services->engine());
        page.show();
        QVERIFY(!page.positionPicker()->isVisible());
        QVERIFY(!page.volumeSlider()->isVisible());
        QVERIFY(!page.hotkeyRow()->isVisible());

        QTest::keyClick(page.indicatorToggle(), Qt::Key_Space);
        QVERIFY(Preferences::boolValue(QStringLiteral("indicatorEnabled")));
        QVERIFY(page.durationSlider()->isVisible());
        page.positionPicker()->setFocus();
        QTest::keyClick(page.positionPicker(), Qt::Key_End);
        QCOMPARE(Preferences::stringValue(QStringLiteral("indicatorPosition")), std::optional<QString>("bottom"));

        QTest::keyClick(page.soundToggle(), Qt::Key_Space);
        QVERIFY(page.volumeSlider()->isVisible());
        QVERIFY(page.testSoundButton()->isVisible());
        QTest::keyClick(page.menuFlagToggle(), Qt::Key_Space);
        QCOMPARE(Preferences::store().value(QStringLiteral("menuBarShowFlag")).toBool(), true);

        // The pause hotkey's monitor runs exactly while its toggle is on.
        QTest::keyClick(page.hotkeyToggle(), Qt::Key_Space);
        QVERIFY(Preferences::boolValue(QStringLiteral("pauseHotkeyEnabled")));
        QVERIFY(page.hotkeyRow()->isVisible());
        QCOMPARE(m_services->monitor.live, 1);
        QTest::keyClick(page.hotkeyToggle(), Qt::Key_Space);
        QCOMPARE(Preferences::store().value(QStringLiteral("pauseHotkeyEnabled")).toBool(), false);
        QVERIFY(!page.hotkeyRow()->isVisible());
        QCOMPARE(m_services->monitor.live, 0);
    }

    void importResultAlert_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message"); // none when nothing was chosen
        QTest::newRow("rules") << QByteArray("[]") << "Successfully imported 0 rules";
        QTest::newRow("not a backup") << QByteArray("{\"hello\": 1}")
                                      << "Import failed: The file is not a valid Tolvane rules backup.";
        QTest::newRow("nothing chosen") << QByteArray() << "";
    }

    void importResultAlert()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        const QString path = m_dir->filePath(QStringLiteral("backup.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();

        ProSettingsView page(m_services->engine());
        page.show();
        page.handleImportLocations(message.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl::fromLocalFile(path)});
        QCOMPARE(page.importResult(), message);
        QCOMPARE(bool(page.importResultAlert()), !message.isEmpty());
        if (message.isEmpty())
            return;
        QCOMPARE(page.importResultAlert()->windowTitle(), QStringLiteral("Import Result"));
        QCOMPARE(page.importResultAlert()->text(), message);
        QCOMPARE(page.importResultAlert()->buttons().first()->text(), QStringLiteral("OK"));
    }

    void exportProposesTheBackupName()
    {
        m_services->engine().addRule(ruleFor("kitty", "xkb:de"));
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

    void supportLogsBeforeOpening()
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
        QTest::keyClick(page.supportButton(), Qt::Key_Space);
        QCOMPARE(order.size(), 2);
        QCOMPARE(order.at(0), QStringLiteral("info: 📧 Opening Gmail compose: ") + AboutView::supportLink());
        QVERIFY(order.at(1).startsWith(QStringLiteral("open https://mail.google.com/")));
        QVERIFY(order.at(1).endsWith(QStringLiteral("&su=Tolvane%20Support")));
    }

    void everyControlIsReachableAndNamed_data()
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

    void everyControlIsReachableAndNamed()
    {
        QFETCH(int, page);
        QFETCH(bool, withRules);
        // Every optional row shown, so that its controls are checked too.
        for (const char* key : {"indicatorEnabled", "soundEnabled", "pauseHotkeyEnabled"})
            Preferences::setValue(QString::fromLatin1(key), true);
        if (withRules) {
            m_services->engine().addRule(ruleFor("kitty", "xkb:de"));
            m_services->engine().addRule(ruleFor("gedit", "xkb:ru"));
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

        // Tab round the window once, from wherever the focus starts.
        QSet<QWidget*> reached;
        for (QWidget* focused = QApplication::focusWidget(); focused && !reached.contains(focused);
             focused = QApplication::focusWidget()) {
            reached.insert(focused);
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        int checked = 0;
        for (QWidget* widget : top->findChildren<QWidget*>()) {
            if (widget->window() != top || !widget->isVisible() || !widget->isEnabled()
                || !(widget->focusPolicy() & Qt::TabFocus))
                continue;
            ++checked;
            // What assistive tools read: the accessible name, else a button's own text.
            const QString name = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
            const QString what = QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()), name);
            QVERIFY2(reached.contains(widget), qPrintable(QStringLiteral("not reachable with Tab: ") + what));
            QVERIFY2(!name.isEmpty(), qPrintable(QStringLiteral("no accessible name: ") + what));
        }
        QVERIFY(checked > 0);
    }

private:
    std::unique_ptr<UiTestServices> m_services;
    std::unique_ptr<QTemporaryDir> m_dir;
};

TOLVANE_TEST_MAIN(SettingsPagesTest)
#include "SettingsPagesTest.moc"
