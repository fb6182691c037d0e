#include "ui/UiTestServices.h"

#include "base/Preferences.h"
#include "services/PermissionsManager.h"
#include "support/TestMain.h"
#include "ui/AddRuleView.h"
#include "ui/ApplicationChooser.h"
#include "ui/EditRuleView.h"
#include "ui/RuleListView.h"
#include "ui/SettingsView.h"

#include <QComboBox>
#include <QStyleFactory>

namespace {

// Light, mid and dark shades follow from the button colour.
QPalette darkPalette()
{
    const QColor text(0xec, 0xec, 0xee), disabled(0x80, 0x80, 0x85);
    QPalette p(QColor(0x3a, 0x3a, 0x3e), QColor(0x2b, 0x2b, 0x2e));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        p.setColor(role, text);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x20));
    p.setColor(QPalette::ToolTipBase, QColor(0x1e, 0x1e, 0x20));
    p.setColor(QPalette::Highlight, QColor(0x0a, 0x64, 0xd8));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0xa0));
    return p;
}

} // namespace

// Not a test: grabs every page and both sheets of the settings window for the
// documentation into $TOLVANE_SCREENSHOT_DIR as
// settings-<view>-<language>-<palette>.png (see the README). Built beside the
// ui tests, whose test doubles it uses, but not run by ctest.
class SettingsScreenshots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void grabAll_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("dark");
        for (const char* language : {"en", "ja"}) {
            QTest::addRow("%s light", language) << QString::fromLatin1(language) << false;
            QTest::addRow("%s dark", language) << QString::fromLatin1(language) << true;
        }
    }

    void grabAll()
    {
        const QString dir = qEnvironmentVariable("TOLVANE_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QFAIL("set TOLVANE_SCREENSHOT_DIR to the folder for the pictures");
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

        const QString palette = dark ? QStringLiteral("dark") : QStringLiteral("light");
        const QString suffix = QStringLiteral("-%1-%2.png").arg(language, palette);
        auto save = [&](QWidget* widget, const QString& name) {
            QCoreApplication::processEvents();
            QTest::qWait(50);
            QVERIFY(widget->grab().save(dir + QStringLiteral("/settings-") + name + suffix));
        };

        PermissionsManager permissions([] { return false; });
        SettingsView window(services.engine(), services.inputSources(), permissions);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        save(&window, QStringLiteral("rules-empty"));

        AppRule editor = ruleFor("org.gnome.TextEditor", "xkb:de");
        editor.appName = QStringLiteral("Text Editor");
        services.engine().addRule(editor);
        AppRule terminal = ruleFor("org.kde.konsole", "xkb:us", false);
        terminal.appName = QStringLiteral("Konsole");
        services.engine().addRule(terminal);
        services.engine().addRule(ruleFor("com.example.gone", "xkb:gone"));
        save(&window, QStringLiteral("rules"));
        // General fits the opening size; Features, with every row shown, is taller.
        window.showPage(SettingsView::GeneralSettings);
        save(&window, QStringLiteral("general"));
        const QSize opening = window.size();
        window.resize(820, 980);
        window.showPage(SettingsView::Features);
        save(&window, QStringLiteral("features"));
        window.resize(opening);
        window.showPage(SettingsView::About);
        save(&window, QStringLiteral("about"));

        window.showPage(SettingsView::RuleManagement);
        window.ruleListView()->openAddSheet();
        AddRuleView* add = window.ruleListView()->addSheet();
        add->selectInputSource(QStringLiteral("xkb:ru"));
        save(add, QStringLiteral("add-rule"));
        add->openApplicationChooser();
        save(add->applicationChooser(), QStringLiteral("choose-app"));
        add->applicationChooser()->reject();
        QCoreApplication::processEvents();
        add->reject();
        QCoreApplication::processEvents();

        window.ruleListView()->openEditSheet(services.engine().rules().first());
        save(window.ruleListView()->editSheet(), QStringLiteral("edit-rule"));
        window.ruleListView()->editSheet()->reject();
    }
};

TOLVANE_TEST_MAIN(SettingsScreenshots)
#include "SettingsScreenshots.moc"
