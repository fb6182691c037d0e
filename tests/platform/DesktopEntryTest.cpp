#include "platform/freedesktop/DesktopEntryIndex.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class DesktopEntryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsInstalledApplications()
    {
        QTemporaryDir home;
        QTemporaryDir system;
        const auto write = [](const QString& path, const QByteArray& text) {
            QVERIFY(tolvane::test::writeFile(path, text));
        };
        // Only the main group counts, not the actions after it.
        write(home.filePath("org.example.Editor.desktop"),
              "# comment\n[Desktop Entry]\nType=Application\nName = My\\sEditor \nName[de]=Mein Editor\n"
              "Name[pt_BR]=Meu Editor\n[Desktop Action new]\nName=New Window\n");
        write(system.filePath("org.example.Editor.desktop"), "[Desktop Entry]\nType=Application\nName=System Editor\n");
        write(system.filePath("kde/konsole.desktop"), "[Desktop Entry]\nType=Application\nName=Konsole\n");
        write(system.filePath("firefox-esr.desktop"),
              "[Desktop Entry]\nType=Application\nName=Firefox\nStartupWMClass=Navigator\n");
        write(system.filePath("hidden.desktop"), "[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n");
        write(system.filePath("link.desktop"), "[Desktop Entry]\nType=Link\nName=Web\n");
        write(system.filePath("junk.desktop"), QByteArray("\x00\xff\x10[", 4));

        DesktopEntryIndex index({home.path(), system.path()});
        // The user's own entry wins over the system's.
        const auto editor = index.entry(QStringLiteral("org.example.Editor"));
        QVERIFY(editor);
        QCOMPARE(editor->name, QStringLiteral("My Editor"));
        QCOMPARE(editor->localizedName(QStringLiteral("de-CH")), QStringLiteral("Mein Editor"));
        QCOMPARE(editor->localizedName(QStringLiteral("pt-BR")), QStringLiteral("Meu Editor"));
        QCOMPARE(editor->localizedName(QStringLiteral("ja")), QStringLiteral("My Editor"));
        // Subfolders become part of the id.
        QVERIFY(index.entry(QStringLiteral("kde-konsole")));
        QVERIFY(!index.entry(QStringLiteral("hidden")));
        QVERIFY(!index.entry(QStringLiteral("link")));
        QVERIFY(!index.entry(QStringLiteral("junk")));

        QCOMPARE(index.entryForWindowClass(QStringLiteral("Navigator"), QStringLiteral("firefox-esr"))->id,
                 QStringLiteral("firefox-esr"));
        QCOMPARE(index.entryForWindowClass(QStringLiteral("x"), QStringLiteral("Navigator"))->id,
                 QStringLiteral("firefox-esr"));
        QCOMPARE(index.entryForWindowClass(QStringLiteral("editor"), QStringLiteral("ORG.EXAMPLE.EDITOR"))->id,
                 QStringLiteral("org.example.Editor"));
        QVERIFY(!index.entryForWindowClass(QStringLiteral("xterm"), QStringLiteral("XTerm")));
    }
};

TOLVANE_TEST_GUILESS_MAIN(DesktopEntryTest)
#include "DesktopEntryTest.moc"
