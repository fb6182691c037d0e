// The KDE backend's reading of kxkbrc, of KWin's layout list and of KWin's
// window facts, without a KWin.
#include "support/RecordingLogSink.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include "base/Logger.h"
#include "platform/RunningApplication.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/kde/KWinActivationScript.h"
#include "platform/kde/KWinWindow.h"
#include "platform/kde/KdeKeyboardLayoutProvider.h"
#include "platform/kde/KxkbConfig.h"
#include "platform/kde/KxkbSwitchModeMonitor.h"

#include <QSignalSpy>
#include <QStandardPaths>

namespace {

const QByteArray kRegistryXml = R"(<?xml version="1.0"?>
<xkbConfigRegistry><layoutList>
  <layout><configItem><name>us</name><description>English (US)</description></configItem>
    <variantList><variant><configItem><name>intl</name><description>English (US, intl., with dead keys)</description></configItem></variant></variantList></layout>
  <layout><configItem><name>de</name><description>German</description></configItem>
    <variantList><variant><configItem><name>neo</name><description>German (Neo 2)</description></configItem></variant></variantList></layout>
</layoutList></xkbConfigRegistry>)";

using tolvane::test::writeFile;

} // namespace

class KdeUnitTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void kxkbrcIsRead_data()
    {
        QTest::addColumn<QList<QByteArray>>("files");
        QTest::addColumn<QStringList>("layouts");
        QTest::addColumn<QStringList>("variants");
        QTest::addColumn<QString>("switchMode");
        QTest::addColumn<bool>("perWindow");
        const auto row = [](const char* tag, const QList<QByteArray>& files, const QStringList& layouts,
                            const QStringList& variants, const QString& switchMode, bool perWindow) {
            QTest::newRow(tag) << files << layouts << variants << switchMode << perWindow;
        };
        row("absent", {}, {}, {}, "Global", false);
        row("plain", {"[Layout]\nLayoutList=us,de\nVariantList=,neo\nSwitchMode=WinClass\n"}, {"us", "de"}, {"", "neo"},
            "WinClass", true);
        row("desktop", {"[Layout]\nSwitchMode=Desktop\n"}, {}, {}, "Desktop", false);
        // KConfig's immutability marker and spaces; keys of other groups do not count.
        row("markers", {"[General]\nSwitchMode=Window\n[Layout]\nSwitchMode[$i] = WinClass\nLayoutList = us , ru\n"},
            {"us", "ru"}, {}, "WinClass", true);
        // The user's file (last) wins over the system's.
        row("user wins", {"[Layout]\nSwitchMode=WinClass\nLayoutList=fr\n", "[Layout]\nSwitchMode=Global\n"}, {"fr"},
            {}, "Global", false);
        row("junk", {QByteArray("\0\xff[Layout\n=x\n[Layout]\nSwitchMode\n", 28)}, {}, {}, "Global", false);
    }

    void kxkbrcIsRead()
    {
        QFETCH(QList<QByteArray>, files);
        QFETCH(QStringList, layouts);
        QFETCH(QStringList, variants);
        QFETCH(QString, switchMode);
        QFETCH(bool, perWindow);
        const KxkbConfig config = KxkbConfig::parse(files);
        QCOMPARE(config.layouts, layouts);
        QCOMPARE(config.variants, variants);
        QCOMPARE(config.switchMode, switchMode);
        QCOMPARE(config.switchesPerWindow(), perWindow);
    }

    void layoutIdentifiers_data()
    {
        QTest::addColumn<QList<QStringList>>("entries"); // KWin's: code, label, description
        QTest::addColumn<QByteArray>("kxkbrc");
        QTest::addColumn<QStringList>("layouts"); // "<id> <name>"
        const auto row = [](const char* tag, const QList<QStringList>& entries, const QByteArray& kxkbrc,
                            const QStringList& layouts) { QTest::newRow(tag) << entries << kxkbrc << layouts; };
        row("descriptions", {{"us", "", "English (US)"}, {"de", "", "German"}, {"de", "", "German (Neo 2)"}}, {},
            {"xkb:us English (US)", "xkb:de German", "xkb:de(neo) German (Neo 2)"});
        // A translated description is not in the rules file: kxkbrc's variant at that place.
        const QList<QStringList> translated{{"us", "", "Englisch (US)"}, {"de", "", "Deutsch (Neo 2)"}};
        row("translated", translated, "[Layout]\nLayoutList=us,de\nVariantList=,neo\n",
            {"xkb:us Englisch (US)", "xkb:de(neo) Deutsch (Neo 2)"});
        // kxkbrc no longer matching KWin's list (another layout at that place): the layout alone.
        row("stale kxkbrc", translated, "[Layout]\nLayoutList=fr,ru\nVariantList=,phonetic\n",
            {"xkb:us Englisch (US)", "xkb:de Deutsch (Neo 2)"});
        // A description that belongs to another layout than the code says is not believed.
        row("mismatch", {{"us", "", "German (Neo 2)"}}, {}, {"xkb:us German (Neo 2)"});
        // No description: the label, then the code, name it.
        row("bare", {{"de", "DE", ""}, {"fr", "", ""}}, {}, {"xkb:de DE", "xkb:fr fr"});
    }

    void layoutIdentifiers()
    {
        QFETCH(QList<QStringList>, entries);
        QFETCH(QByteArray, kxkbrc);
        QStringList layouts;
        for (const auto& layout : KdeKeyboardLayoutProvider::layoutsFrom(entries, XkbRegistry::fromXml(kRegistryXml),
                                                                         KxkbConfig::parse({kxkbrc})))
            layouts.append(layout.id + u' ' + layout.name);
        QTEST(layouts, "layouts");
    }

    void windowsNameTheirApplication_data()
    {
        QTest::addColumn<QString>("resourceClass");
        QTest::addColumn<QString>("resourceName");
        QTest::addColumn<QString>("desktopFileName");
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<QStringList>("alternatives");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, const QString& resourceClass, const QString& resourceName,
                            const QString& desktopFileName, const QString& bundle, const QStringList& alternatives,
                            const QString& name) {
            QTest::newRow(tag) << resourceClass << resourceName << desktopFileName << bundle << alternatives << name;
        };
        // Wayland: the desktop file name is the app id and finds the entry.
        row("wayland, entry", "org.kde.kate", "kate", "org.kde.kate", "org.kde.kate", {}, "Kate");
        row("wayland, .desktop suffix", "foot", "foot", "org.kde.kate.desktop", "org.kde.kate", {"foot"}, "Kate");
        row("wayland, no entry", "org.example.Tool", "tool", "org.example.Tool", "org.example.Tool", {},
            "org.example.Tool");
        // X11: a lower-cased class, no desktop file name; StartupWMClass matches regardless of case.
        row("x11, entry", "xterm", "xterm", "", "debian-xterm", {"xterm"}, "XTerm");
        row("x11, no entry", "tolvane-x11-test", "tolvane-x11-test", "", "tolvane-x11-test", {}, "tolvane-x11-test");
    }

    void windowsNameTheirApplication()
    {
        QFETCH(QString, resourceClass);
        QFETCH(QString, resourceName);
        QFETCH(QString, desktopFileName);
        QFETCH(QString, bundle);
        QFETCH(QStringList, alternatives);
        QFETCH(QString, name);
        QTemporaryDir applications;
        QVERIFY(writeFile(applications.filePath("org.kde.kate.desktop"),
                          "[Desktop Entry]\nType=Application\nName=Kate\nIcon=kate\n"));
        QVERIFY(writeFile(applications.filePath("debian-xterm.desktop"),
                          "[Desktop Entry]\nType=Application\nName=XTerm\nStartupWMClass=XTerm\n"));
        DesktopEntryIndex entries({applications.path()});
        const KWinWindow window{QStringLiteral("{1}"), resourceClass, resourceName, desktopFileName, 4242};
        const RunningApplication app = window.application(entries);
        QCOMPARE(app.bundleIdentifier, bundle);
        QCOMPARE(app.alternativeIdentifiers, alternatives);
        QCOMPARE(app.localizedName, name);
        QCOMPARE(app.processKey, QStringLiteral("pid:4242"));
    }

    void scriptCallsBackTheGivenObject()
    {
        // Whatever the bus name holds, it ends up as one JavaScript string.
        const QString source = KWinActivationScript::source(QStringLiteral(":1.42\"; evil(); \""),
                                                            QStringLiteral("/com/kelvora/Tolvane/KWinScript"),
                                                            QStringLiteral("com.kelvora.Tolvane.KWinScript"));
        QVERIFY(source.contains(QStringLiteral("const tolvaneService = \":1.42\\\"; evil(); \\\"\";")));
        // Plasma 6's signal: the KWin of the headless tests is Plasma 5's.
        QVERIFY(source.contains(QStringLiteral("workspace.windowActivated")));
    }

    void switchModeIsFollowed()
    {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QVERIFY(writeFile(config + QStringLiteral("/kxkbrc"), "[Layout]\nSwitchMode=WinClass\n"));
        RecordingLogSink log;
        KxkbSwitchModeMonitor monitor({config});
        QCOMPARE(monitor.conflicts().size(), 1);
        QCOMPARE(monitor.conflicts().first().key, QStringLiteral("kde.kxkbrc.SwitchMode"));
        QVERIFY(monitor.conflicts().first().translatedText().contains(QStringLiteral("application's")));
        QCOMPARE(log.lines().size(), 1);
        QVERIFY(log.lines().first().contains(QStringLiteral("SwitchMode=WinClass"))
                && log.lines().first().contains(QStringLiteral("Global")));

        // Reading it again with nothing changed tells nothing new.
        monitor.refresh();
        QCOMPARE(log.lines().size(), 1);

        QSignalSpy changed(&monitor, &DesktopConflictMonitor::conflictsChanged);
        // KDE's settings replace the file.
        QVERIFY(writeFile(config + QStringLiteral("/kxkbrc.new"), "[Layout]\nSwitchMode=Global\n"));
        QFile::remove(config + QStringLiteral("/kxkbrc"));
        QFile::rename(config + QStringLiteral("/kxkbrc.new"), config + QStringLiteral("/kxkbrc"));
        QTRY_VERIFY(monitor.conflicts().isEmpty());
        QVERIFY(changed.count() >= 1);

        QVERIFY(writeFile(config + QStringLiteral("/kxkbrc"), "[Layout]\nSwitchMode=Window\n"));
        QTRY_COMPARE(monitor.conflicts().size(), 1);
        QVERIFY(monitor.conflicts().first().translatedText().contains(QStringLiteral("window's")));
        QCOMPARE(log.lines().size(), 2);
    }
};

TOLVANE_TEST_GUILESS_MAIN(KdeUnitTest)
#include "KdeUnitTest.moc"
