#include "UiTestServices.h"

#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "feedback/InputSourceIndicatorController.h"
#include "platform/gnome/GnomePlatform.h"
#include "platform/kde/KdePlatform.h"
#include "services/PermissionsManager.h"
#include "services/UsageStatisticsManager.h"
#include "support/RecordingLogSink.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"
#include "ui/AboutView.h"
#include "ui/AccessibilityBanner.h"
#include "ui/AddRuleView.h"
#include "ui/EditRuleView.h"
#include "ui/GeneralSettingsView.h"
#include "ui/KeyboardKeyView.h"
#include "ui/NoticeBanner.h"
#include "ui/ProSettingsView.h"
#include "ui/RuleListView.h"
#include "ui/SettingsView.h"
#include "ui/UpdateDialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QtTest/qtestspontaneevent.h>

using tolvane::test::readFile;
using tolvane::test::writeFile;

namespace {

// Clicks the button under `parent` that reads `text`.
bool clickButton(QWidget* parent, const QString& text)
{
    for (QAbstractButton* button : parent->findChildren<QAbstractButton*>()) {
        if (button->text() == text) {
            QTest::mouseClick(button, Qt::LeftButton);
            return true;
        }
    }
    return false;
}

// Turns on the optional rows of the features page: indicator, sound and hotkey.
void showEveryRow()
{
    for (const char* key : {"indicatorEnabled", "soundEnabled", "pauseHotkeyEnabled"})
        Preferences::setValue(QString::fromLatin1(key), true);
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
        const QStringList resetKeys{
            "appLanguage",        "showNotification",       "soundEnabled",      "soundVolume",
            "indicatorEnabled",   "indicatorPosition",      "indicatorDuration", "menuBarShowFlag",
            "pauseHotkeyEnabled", "rememberLastInputSource"};
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
        QCOMPARE(page.noRulePicker()->currentText(), Tolvane::tr("the source last used in that application"));
        // Return answers the confirmation with Cancel.
        QVERIFY(clickButton(&page, Tolvane::tr("Reset All Settings")));
        QVERIFY(QTest::qWaitForWindowExposed(page.resetConfirmation()));
        QTest::keyClick(page.resetConfirmation(), Qt::Key_Return);
        QTRY_VERIFY(!page.resetConfirmation());
        QVERIFY(Preferences::contains(QStringLiteral("soundEnabled")));
        QCOMPARE(m_services->engine().defaultInputSourceID(), std::optional<QString>(QStringLiteral("xkb:ru")));

        QVERIFY(clickButton(&page, Tolvane::tr("Reset All Settings")));
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
        QCOMPARE(page.noRulePicker()->currentText(), Tolvane::tr("the default input source"));
        // The running hotkey monitor stops, and the feature page shows it off.
        QCOMPARE(m_services->monitor.live, 0);
        pro.hide();
        pro.show();
        QVERIFY(!pro.hotkeyToggle()->isChecked());
        QVERIFY(pro.soundToggle()->isChecked());
        QVERIFY(pro.menuFlagToggle()->isChecked());
    }

    void generalControlsTakeEffectAtOnce()
    {
        m_services->login.failure = QStringLiteral("autostart folder is read-only");
        GeneralSettingsView page(m_services->engine(), m_services->inputSources());
        page.show();
        // Launch at login shows why it failed in red, and the real state, until it works.
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

        page.defaultSourcePicker()->setFocus();
        QTest::keyClick(page.defaultSourcePicker(), Qt::Key_Down);
        QCOMPARE(m_services->engine().defaultInputSourceID(), std::optional<QString>(QStringLiteral("xkb:us")));
        QTest::keyClick(page.defaultSourcePicker(), Qt::Key_Up);
        QCOMPARE(m_services->engine().defaultInputSourceID(), std::nullopt);
        page.noRulePicker()->setFocus();
        QTest::keyClick(page.noRulePicker(), Qt::Key_Down);
        QVERIFY(Preferences::boolValue(QStringLiteral("rememberLastInputSource")));
        QTest::keyClick(page.noRulePicker(), Qt::Key_Up);
        QVERIFY(Preferences::contains(QStringLiteral("rememberLastInputSource"))
                && !Preferences::boolValue(QStringLiteral("rememberLastInputSource")));

        QTest::keyClick(page.checkForUpdatesButton(), Qt::Key_Space);
        QCOMPARE(m_services->updateChecks, 1);
        QTest::keyClick(page.websiteButton(), Qt::Key_Space);
        QCOMPARE(m_services->opened.size(), 1);
        QCOMPARE(m_services->opened.first().scheme(), QStringLiteral("https"));

        // A new language is stored, and the page follows it at once.
        page.languagePicker()->setFocus();
        QTest::keyClick(page.languagePicker(), Qt::Key_End);
        QCOMPARE(m_services->localization->currentLanguage(), QStringLiteral("pt"));
        QCOMPARE(Preferences::stringValue(QStringLiteral("appLanguage")), std::optional<QString>("pt"));
        QVERIFY(Tolvane::tr("Launch at Login") != QLatin1String("Launch at Login"));
        QTRY_COMPARE(page.launchAtLoginToggle()->text(), Tolvane::tr("Launch at Login"));
    }

    // Usage statistics are shared until the user says no; the choice is stored. DO_NOT_TRACK or
    // the preview variable silence the client whatever was chosen: the page shows sharing off,
    // offers no toggle and names the variable. A build without analytics has no section for it.
    void sharingToggleAdmitsTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::newRow("nothing set") << QByteArray();
        QTest::newRow("DO_NOT_TRACK") << QByteArray("DO_NOT_TRACK");
        QTest::newRow("preview") << QByteArray("XCODE_RUNNING_FOR_PREVIEWS");
    }

    void sharingToggleAdmitsTheEnvironment()
    {
        QFETCH(QByteArray, variable);
        if (!variable.isEmpty())
            qputenv(variable.constData(), "1");
        const auto unset = qScopeGuard([&] {
            if (!variable.isEmpty())
                qunsetenv(variable.constData());
        });
        m_services->localization->setLanguage(QStringLiteral("de"), true);
        GeneralSettingsView page(m_services->engine(), m_services->inputSources());
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        if (!UsageStatisticsManager::isAvailable()) {
            QVERIFY(!page.shareStatisticsToggle()->isVisible());
            return;
        }
        const bool silenced = !variable.isEmpty();
        QCOMPARE(page.shareStatisticsToggle()->isChecked(), !silenced);
        QCOMPARE(page.shareStatisticsToggle()->isEnabled(), !silenced);
        QCOMPARE(page.shareStatisticsNote()->isVisible(), silenced);
        if (silenced) {
            QVERIFY(page.shareStatisticsNote()->text().contains(QString::fromLatin1(variable)));
            QVERIFY(!page.shareStatisticsNote()->text().contains(QLatin1String("environment variable")));
        }
        page.shareStatisticsToggle()->setFocus();
        QTest::keyClick(page.shareStatisticsToggle(), Qt::Key_Space);
        QCOMPARE(Preferences::store().value(UsageStatisticsManager::sharingKey()),
                 silenced ? QVariant() : QVariant(false));
        if (!silenced)
            QVERIFY(!UsageStatisticsManager::shared().isSharingEnabled());
    }

    // A slider shows the stored value held to its range, and steps through every value, staying
    // at the end. Values another program or a hand-edited file left behind: no 309-digit label,
    // no "nans", no out-of-range conversion to an integer, and the file is not rewritten.
    void sliders_data()
    {
        QTest::addColumn<bool>("duration");
        QTest::addColumn<QString>("stored"); // none: nothing stored
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("step"); // of the slider; 0: not checked
        QTest::addColumn<double>("used"); // by the indicator or the sound; -1: not checked
        const auto row = [](bool duration, const QString& stored, const QString& shown, int step, double used) {
            QTest::addRow("%s %s", duration ? "duration" : "volume", qPrintable(stored))
                << duration << stored << shown << step << used;
        };
        row(true, "", "1.5s", 3, 1.5);
        row(true, "1e308", "3.0s", 6, 3.0);
        row(true, "-1", "1.5s", 3, 1.5);
        row(true, "nan", "1.5s", 3, 1.5);
        row(true, "inf", "1.5s", 3, 1.5);
        row(true, "0.1", "0.5s", 1, 0.5);
        row(false, "", "50%", 5, 0.5);
        // Whole percent, truncated, without a floating-point error taking one off.
        row(false, "0.57", "57%", 0, -1);
        row(false, "0.999", "99%", 0, -1);
        row(false, "1e308", "100%", 10, 1.0);
        row(false, "7", "100%", 10, 1.0);
        row(false, "-1", "0%", 1, 0.0);
        row(false, "nan", "50%", 5, 0.5);
        row(false, "-inf", "50%", 5, 0.5);
    }

    void sliders()
    {
        QFETCH(bool, duration);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(int, step);
        QFETCH(double, used);
        const QString key = duration ? QStringLiteral("indicatorDuration") : QStringLiteral("soundVolume");
        if (!stored.isEmpty())
            Preferences::setValue(key, stored);
        showEveryRow();
        ProSettingsView page(m_services->engine());
        page.show();
        QSlider* control = duration ? page.durationSlider() : page.volumeSlider();
        QLabel* label = duration ? page.durationLabel() : page.volumeLabel();
        QCOMPARE(label->text(), shown);
        if (step > 0)
            QCOMPARE(control->value(), step);
        if (used >= 0)
            QCOMPARE(duration ? InputSourceIndicatorController::displayDuration() : m_services->sounds->volume(), used);
        QCOMPARE(Preferences::store().value(key).toString(), stored); // only shown held, not rewritten

        const QStringList texts = duration
            ? QStringList{"0.5s", "1.0s", "1.5s", "2.0s", "2.5s", "3.0s"}
            : QStringList{"10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%"};
        control->setFocus();
        QTest::keyClick(control, Qt::Key_End); // a change, wherever it was held
        QTest::keyClick(control, Qt::Key_Home);
        const double increment = duration ? 0.5 : 0.1;
        for (int i = 0; i < texts.size() + 2; ++i) { // two presses past the end stay there
            const int at = qMin(i, texts.size() - 1);
            QCOMPARE(label->text(), texts.at(at));
            QVERIFY(qAbs(Preferences::doubleValue(key) - increment * (at + 1)) < 1e-9);
            QTest::keyClick(control, Qt::Key_Right);
        }
    }

    void togglesShowTheirRowsAndStore()
    {
        ProSettingsView page(m_services->engine());
        page.show();
        QVERIFY(!page.positionPicker()->isVisible());
        QVERIFY(!page.hotkeyRow()->isVisible());
        // The X server's own hotkey, no binding elsewhere.
        QVERIFY(!page.pauseKeyBindingLabel()->isVisible());
        QCOMPARE(page.hotkeyDescription()->text(), "Use keyboard shortcut to toggle auto-switching on/off.");
        // A fresh install plays sounds and shows the flag; the page says so.
        QVERIFY(page.soundToggle()->isChecked());
        QVERIFY(page.volumeSlider()->isVisible());
        QVERIFY(page.menuFlagToggle()->isChecked());

        QTest::keyClick(page.indicatorToggle(), Qt::Key_Space);
        QVERIFY(Preferences::boolValue(QStringLiteral("indicatorEnabled")));
        QVERIFY(page.durationSlider()->isVisible());
        page.positionPicker()->setFocus();
        QTest::keyClick(page.positionPicker(), Qt::Key_End);
        QCOMPARE(Preferences::stringValue(QStringLiteral("indicatorPosition")), std::optional<QString>("bottom"));

        QTest::keyClick(page.soundToggle(), Qt::Key_Space);
        QCOMPARE(Preferences::store().value(QStringLiteral("soundEnabled")).toBool(), false);
        QVERIFY(!page.volumeSlider()->isVisible());
        QVERIFY(!page.testSoundButton()->isVisible());
        QTest::keyClick(page.menuFlagToggle(), Qt::Key_Space);
        QCOMPARE(Preferences::store().value(QStringLiteral("menuBarShowFlag")).toBool(), false);

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

    void fileDialogsCarryTheChosenFile_data()
    {
        QTest::addColumn<bool>("isExport");
        QTest::addColumn<QByteArray>("contents"); // of the file chosen for import
        QTest::addColumn<QString>("fileName"); // typed into the dialog; none: Escape
        QTest::addColumn<QString>("title"); // of the page's alert; none: no alert
        QTest::addColumn<QString>("message"); // the alert's text starts with it
        QTest::addColumn<int>("rules"); // in the list afterwards
        const QByteArray backup = R"([{"id":"6F9619FF-8B86-D011-B42D-00CF4FC964FF","appBundleID":"gedit",)"
                                  R"("appName":"Gedit","targetInputSourceID":"xkb:ru","isEnabled":true}])";
        const auto row = [](const char* tag, bool isExport, const QByteArray& contents, const QString& fileName,
                            const QString& title, const QString& message, int rules) {
            QTest::newRow(tag) << isExport << contents << fileName << title << message << rules;
        };
        row("import a backup", false, backup, "backup.json", "Import Result", "Successfully imported 1 rules", 2);
        row("import not a backup", false, "{\"hello\": 1}", "backup.json", "Import Result",
            "Import failed: The file is not a valid Tolvane rules backup.", 1);
        row("import cancelled", false, backup, "", "", "", 1);
        row("export", true, {}, "out.json", "", "", 1);
        row("export into a missing folder", true, {}, "missing/out.json", "Export Failed",
            "The rules could not be exported to", 1);
        row("export cancelled", true, {}, "", "", "", 1);
    }

    void fileDialogsCarryTheChosenFile()
    {
        QFETCH(bool, isExport);
        QFETCH(QByteArray, contents);
        QFETCH(QString, fileName);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(int, rules);
        m_services->engine().addRule(ruleFor("kitty", "xkb:de"));
        const QString path = m_dir->filePath(fileName.isEmpty() ? QStringLiteral("x.json") : fileName);
        if (!isExport)
            QVERIFY(writeFile(path, contents));

        ProSettingsView page(m_services->engine());
        page.show();
        QTest::keyClick(isExport ? page.exportButton() : page.importButton(), Qt::Key_Space);
        QFileDialog* dialog = isExport ? page.exporter() : page.importer();
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        if (isExport) {
            QCOMPARE(dialog->defaultSuffix(), QStringLiteral("json"));
            QVERIFY(dialog->selectedFiles().value(0).endsWith(QStringLiteral("/Tolvane_Rules.json")));
        }
        // What a user does: type the path into the dialog's name field.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        if (fileName.isEmpty()) {
            QTest::keyClick(name, Qt::Key_Escape);
        } else {
            name->clear();
            QTest::keyClicks(name, path);
            QTest::keyClick(name, Qt::Key_Return);
        }
        QTRY_VERIFY(!page.exporter() && !page.importer());

        QCOMPARE(m_services->engine().rules().size(), rules);
        QCOMPARE(bool(page.alert()), !title.isEmpty());
        if (page.alert()) {
            QCOMPARE(page.alert()->windowTitle(), title);
            QVERIFY2(page.alert()->text().startsWith(message), qPrintable(page.alert()->text()));
            QCOMPARE(page.alert()->buttons().first()->text(), QStringLiteral("OK"));
        }
        if (isExport && !fileName.isEmpty() && title.isEmpty())
            QVERIFY(readFile(path).contains("kitty"));
        if (isExport && !title.isEmpty()) // the system's reason follows the path
            QVERIFY(page.alert()->text().contains(QStringLiteral("out.json”: ")));
    }

    void wheelOverAnUnfocusedControlScrollsThePage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("control"); // the accessible name of the picker or slider
        QTest::newRow("language picker") << int(SettingsView::GeneralSettings) << "App Language";
        QTest::newRow("default source picker") << int(SettingsView::GeneralSettings) << "Default Input Source";
        QTest::newRow("position picker") << int(SettingsView::Features) << "Position";
        QTest::newRow("duration slider") << int(SettingsView::Features) << "Display Duration";
        QTest::newRow("volume slider") << int(SettingsView::Features) << "Volume";
    }

    void wheelOverAnUnfocusedControlScrollsThePage()
    {
        QFETCH(int, page);
        QFETCH(QString, control);
        showEveryRow();
        Preferences::store().sync();
        const QByteArray before = readFile(Preferences::store().fileName());

        SettingsWindow window(*m_services, true, false);
        window.resize(window.minimumSize()); // the pages scroll
        window.show();
        window.showPage(SettingsView::Page(page));
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget* target = nullptr;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (widget->accessibleName() == control && widget->isVisible())
                target = widget;
        }
        QVERIFY(target);
        auto* area = qobject_cast<QScrollArea*>(target->parentWidget()->parentWidget()->parentWidget());
        for (QWidget* up = target; up && !area; up = up->parentWidget())
            area = qobject_cast<QScrollArea*>(up);
        QVERIFY(area);
        area->ensureWidgetVisible(target);
        const int scrolledTo = area->verticalScrollBar()->value();
        const auto turnWheel = [&](int notches) {
            const QPointF at(target->width() / 2.0, target->height() / 2.0);
            QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            // As from the window system, the only kind Qt passes on to the parents.
            QSpontaneKeyEvent::setSpontaneous(&wheel);
            qApp->notify(target, &wheel);
        };
        const QVariant value = target->property(qobject_cast<QComboBox*>(target) ? "currentIndex" : "value");
        turnWheel(scrolledTo > 0 ? 1 : -1);
        QCOMPARE(target->property(qobject_cast<QComboBox*>(target) ? "currentIndex" : "value"), value);
        QVERIFY(area->verticalScrollBar()->value() != scrolledTo);
        Preferences::store().sync();
        QCOMPARE(readFile(Preferences::store().fileName()), before);

        // Once the user has chosen the control, the wheel is its own.
        target->setFocus(Qt::MouseFocusReason);
        turnWheel(value.toInt() > 1 ? 1 : -1);
        QVERIFY(target->property(qobject_cast<QComboBox*>(target) ? "currentIndex" : "value") != value);
    }

    void generalSettingsFitTheOpeningWindow()
    {
        SettingsWindow window(*m_services, true);
        window.showPage(SettingsView::GeneralSettings);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* area = qobject_cast<QScrollArea*>(window.generalSettingsView()->parentWidget()->parentWidget());
        QVERIFY(area);
        QCOMPARE(area->verticalScrollBar()->maximum(), 0);
        QVERIFY(window.width() > window.minimumWidth());
    }

    void bannerOffersOnlyWhatCanBeGranted_data()
    {
        QTest::addColumn<QUrl>("settingsPage");
        QTest::addColumn<bool>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("X11: nothing to grant")
            << QUrl() << false
            << "The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.";
        QTest::newRow("a desktop with a permission page")
            << QUrl(QStringLiteral("settings://privacy/keyboard")) << true << "Accessibility Permission Required";
    }

    // The banner follows the permission, and stays on the first page shown: the rule list
    // reached through the sidebar carries none.
    void bannerOffersOnlyWhatCanBeGranted()
    {
        QFETCH(QUrl, settingsPage);
        QFETCH(bool, button);
        QFETCH(QString, text);
        bool trusted = false;
        PermissionsManager permissions([&trusted] { return trusted; });
        permissions.setSettingsPage(settingsPage);
        SettingsView window(m_services->engine(), m_services->inputSources(), permissions);
        window.show();
        QCOMPARE(window.currentPage(), 0);
        QTRY_VERIFY(window.isBannerVisible());
        QCOMPARE(window.banner()->text(), text);
        QCOMPARE(window.banner()->grantButton()->isVisible(), button);
        trusted = true;
        permissions.checkAccessibility();
        QTRY_VERIFY(!window.isBannerVisible());
        trusted = false;
        permissions.checkAccessibility();
        QTRY_VERIFY(window.isBannerVisible());

        window.showPage(SettingsView::GeneralSettings);
        window.showPage(SettingsView::RuleManagement);
        QCOMPARE(window.currentPage(), 0);
        QVERIFY(!window.isBannerVisible());
    }

    void unsupportedDesktopBannerStandsAboveEveryPage()
    {
        SettingsServices::current().switchingAvailable = [] { return false; };
        SettingsWindow window(*m_services, false);
        QCOMPARE(window.unsupportedDesktopBanner()->text(),
                 QStringLiteral("Switching is not available on this desktop yet."));
        for (const auto page : {SettingsView::RuleManagement, SettingsView::GeneralSettings, SettingsView::About}) {
            window.showPage(page);
            QVERIFY(window.unsupportedDesktopBanner()->isVisible());
        }
        // The hotkey permission is beside the point where nothing switches.
        QVERIFY(!window.isBannerVisible());
    }

    // What is drawn is what assistive tools read: section titles without mnemonics. Messages
    // built around data keep no English inside (here the version).
    void sectionTitlesReadAsTranslated_data()
    {
        QTest::addColumn<QString>("language");
        for (const char* code : {"en", "de", "es", "fr", "ja", "ko", "pt", "zh-Hans"})
            QTest::newRow(code) << QString::fromLatin1(code);
    }

    void sectionTitlesReadAsTranslated()
    {
        QFETCH(QString, language);
        m_services->localization->setLanguage(language, false);
        QCoreApplication::processEvents();
        m_services->engine().addRule(ruleFor("kitty", "xkb:de"));
        SettingsWindow window(*m_services, true);
        const QStringList sheetKeys{"Target App", "Input Source"};
        const QList<QPair<QWidget*, QStringList>> views{
            {window.generalSettingsView(),
             {"Language", "Startup", "Fallback Behavior", "Notifications", "Privacy", "Updates", "Reset"}},
            {window.proSettingsView(),
             {"Visual Indicator", "Sound Effects", "Global Hotkey", "Tray", "Backup & Restore"}},
            {nullptr, sheetKeys}, // the add sheet
            {nullptr, sheetKeys}}; // the edit sheet
        for (int view = 0; view < views.size(); ++view) {
            QWidget* shownView = view < 2 ? views.at(view).first : openSheet(window, view == 3);
            QVERIFY(shownView);
            QStringList shown, expected;
            for (QGroupBox* box : shownView->findChildren<QGroupBox*>())
                shown.append(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name));
            for (const QString& key : views.at(view).second)
                expected.append(Tolvane::tr(key.toUtf8().constData()));
            QCOMPARE(shown, expected);
            if (view == 2)
                QTest::mouseClick(window.ruleListView()->addSheet()->cancelButton(), Qt::LeftButton);
        }
        // Linux words: the key caps of the hotkey, no other platform's names.
        QStringList caps;
        for (const QLabel* cap : window.proSettingsView()->keyCaps())
            caps.append(cap->text());
        QCOMPARE(caps, (QStringList{"Ctrl", "Alt", "P"}));
        if (language == QLatin1String("en")) {
            for (QWidget* widget : window.findChildren<QWidget*>()) {
                const QString text = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name)
                    + widget->property("text").toString();
                for (const char* foreign : {"macOS", "Menu Bar", "⌘", "⌥", "Finder", "Dock"})
                    QVERIFY2(!text.contains(QString::fromUtf8(foreign)), qPrintable(text));
            }
        }
        if (!QStringList{"de", "ja", "zh-Hans"}.contains(language)) // "service" is French too
            return;
        std::unique_ptr<UpdateDialog> upToDate(UpdateDialog::upToDate(QStringLiteral("0.1.0")));
        LaunchAtLoginManager withoutService(nullptr);
        withoutService.setEnabled(true);
        for (const QString& message : {upToDate->body(), withoutService.lastError()}) {
            QVERIFY(!message.isEmpty());
            for (const char* english : {"up to date", "autostart", "service", "Tolvane is"})
                QVERIFY2(!message.contains(QLatin1String(english)), qPrintable(message));
        }
        QVERIFY(upToDate->body().contains(QStringLiteral("0.1.0")));
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
        showEveryRow(); // so that the controls of the optional rows are checked too
        if (withRules) {
            m_services->engine().addRule(ruleFor("kitty", "xkb:de"));
            m_services->engine().addRule(ruleFor("gedit", "xkb:ru"));
        }
        SettingsWindow window(*m_services, false);
        if (page < 10)
            window.showPage(SettingsView::Page(page));
        QWidget* top = page < 10 ? static_cast<QWidget*>(&window) : openSheet(window, page == 11);
        QVERIFY(top);
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
            const QString what =
                QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()), name);
            QVERIFY2(reached.contains(widget), qPrintable(QStringLiteral("not reachable with Tab: ") + what));
            QVERIFY2(!name.isEmpty(), qPrintable(QStringLiteral("no accessible name: ") + what));
        }
        QVERIFY(checked > 0);
    }

    // Sway and Hyprland bind the pause key in their configuration, KDE and GNOME in their
    // settings (no client may watch keys): the page shows the binding or says where, with no
    // word of the X server's RECORD extension, and no permission banner.
    void desktopsThatBindThePauseKeySayWhere_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("hint"); // none: the page's own
        QTest::addColumn<QString>("description"); // starts with it
        QTest::newRow("sway") << "bindsym Ctrl+Alt+p exec tolvane --toggle-pause" << QString()
                              << "On Wayland no application";
        QTest::newRow("KDE") << QString() << QString::fromUtf8(KdePlatform::kPauseKeyBindingHint)
                             << QString::fromUtf8(KdePlatform::kPauseKeyBindingHint);
        GnomePlatform gnome;
        QTest::newRow("GNOME") << gnome.pauseKeyBinding() << QString::fromUtf8(gnome.pauseKeyBindingHint())
                               << QString::fromUtf8(gnome.pauseKeyBindingHint());
    }
    void desktopsThatBindThePauseKeySayWhere()
    {
        QFETCH(QString, line);
        QFETCH(QString, hint);
        QFETCH(QString, description);
        SettingsServices::current().pauseKeyBinding = [line] { return line; };
        if (!hint.isEmpty())
            SettingsServices::current().pauseKeyBindingHint = [hint] { return hint; };
        Preferences::setValue(QStringLiteral("pauseHotkeyEnabled"), true);
        SettingsWindow window(*m_services, false);
        QTest::qWait(50);
        QVERIFY(!window.isBannerVisible());

        ProSettingsView page(m_services->engine());
        page.show();
        QVERIFY(page.hotkeyDescription()->text().startsWith(description));
        QCOMPARE(page.pauseKeyBindingLabel()->isVisible(), !line.isEmpty());
        QCOMPARE(page.pauseKeyBindingLabel()->text(), line);
        QVERIFY(!page.hotkeyToggle()->isEnabled());
        QVERIFY(!page.hotkeyRow()->isVisible());
        QTest::keyClick(page.hotkeyToggle(), Qt::Key_Space);
        QCOMPARE(m_services->monitor.live, 0);
    }

private:
    // Opens the add sheet with the Add Rule button, or the first rule's edit sheet with Return.
    static QDialog* openSheet(SettingsWindow& window, bool edit)
    {
        RuleListView* rules = window.ruleListView();
        window.showPage(SettingsView::RuleManagement);
        if (!edit) {
            QTest::mouseClick(rules->addButton(), Qt::LeftButton);
            return rules->addSheet();
        }
        QTest::keyClick(rules->list(), Qt::Key_Home);
        QTest::keyClick(rules->list(), Qt::Key_Return);
        return rules->editSheet();
    }

    std::unique_ptr<UiTestServices> m_services;
    std::unique_ptr<QTemporaryDir> m_dir;
};

TOLVANE_TEST_MAIN(SettingsPagesTest)
#include "SettingsPagesTest.moc"
