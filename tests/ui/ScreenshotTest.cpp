#include "UiTestServices.h"

#include "core/Preferences.h"
#include "services/PermissionsManager.h"
#include "support/TestMain.h"
#include "ui/AddRuleView.h"
#include "ui/EditRuleView.h"
#include "ui/RuleListView.h"
#include "ui/SettingsView.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStyleFactory>

namespace {

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xec, 0xec, 0xee);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Highlight, QColor(0x0a, 0x64, 0xd8));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0xa0));
    p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x55));
    p.setColor(QPalette::Midlight, QColor(0x44, 0x44, 0x48));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x33));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1a));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x85));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x85));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x85));
    return p;
}

} // namespace

// Grabs every page and both sheets into $TOLVANE_SCREENSHOT_DIR as
// settings-<view>-<language>-<palette>.png.
class ScreenshotTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void grabAll_data();
    void grabAll();
};

void ScreenshotTest::grabAll_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("dark");
    for (const char* language : {"en", "ja"}) {
        QTest::addRow("%s light", language) << QString::fromLatin1(language) << false;
        QTest::addRow("%s dark", language) << QString::fromLatin1(language) << true;
    }
}

void ScreenshotTest::grabAll()
{
    const QString dir = qEnvironmentVariable("TOLVANE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("TOLVANE_SCREENSHOT_DIR is not set");
    QFETCH(QString, language);
    QFETCH(bool, dark);
    QDir().mkpath(dir);

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
    QFile::remove(RuleEngine::rulesFileURL());
    Preferences::store().clear();
    for (const char* key : {"indicatorEnabled", "soundEnabled", "pauseHotkeyEnabled"})
        Preferences::setValue(QString::fromLatin1(key), true);

    UiTestServices services;
    services.localization->setLanguage(language, false);
    QCoreApplication::processEvents();
    RunningApplication app = FakeApplicationSource::app(QStringLiteral("org.gnome.TextEditor"));
    app.localizedName = QStringLiteral("Text Editor");
    services.running = {app};

    const QString suffix = QStringLiteral("-%1-%2.png").arg(language, dark ? QStringLiteral("dark") : QStringLiteral("light"));
    auto save = [&](QWidget* widget, const QString& name) {
        QCoreApplication::processEvents();
        QTest::qWait(50);
        QVERIFY(widget->grab().save(dir + QStringLiteral("/settings-") + name + suffix));
    };

    PermissionsManager permissions([] { return false; });
    {
        SettingsView empty(services.engine(), services.inputSources(), permissions);
        empty.show();
        QVERIFY(QTest::qWaitForWindowExposed(&empty));
        save(&empty, QStringLiteral("rules-empty"));
    }

    AppRule editor = makeRule("org.gnome.TextEditor", "xkb:de");
    editor.appName = QStringLiteral("Text Editor");
    services.engine().addRule(editor);
    AppRule terminal = makeRule("org.kde.konsole", "xkb:us", false);
    terminal.appName = QStringLiteral("Konsole");
    services.engine().addRule(terminal);
    services.engine().addRule(makeRule("com.example.gone", "xkb:gone"));

    SettingsView window(services.engine(), services.inputSources(), permissions);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    save(&window, QStringLiteral("rules"));
    // Tall enough for the whole of the two long pages.
    window.resize(820, 980);
    window.showPage(SettingsView::GeneralSettings);
    save(&window, QStringLiteral("general"));
    window.showPage(SettingsView::Features);
    save(&window, QStringLiteral("features"));
    window.resize(820, 560);
    window.showPage(SettingsView::About);
    save(&window, QStringLiteral("about"));

    window.showPage(SettingsView::RuleManagement);
    window.ruleListView()->openAddSheet();
    AddRuleView* add = window.ruleListView()->addSheet();
    add->selectInputSource(QStringLiteral("xkb:ru"));
    add->handleChosenFiles({});
    save(add, QStringLiteral("add-rule"));
    add->reject();
    QCoreApplication::processEvents();

    window.ruleListView()->openEditSheet(services.engine().rules().first());
    save(window.ruleListView()->editSheet(), QStringLiteral("edit-rule"));
    window.ruleListView()->editSheet()->reject();
    services.localization->setLanguage(QStringLiteral("system"), false);
}

TOLVANE_TEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
