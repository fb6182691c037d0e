#include "platform/freedesktop/DesktopEntryIndex.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class DesktopEntryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parsesTheMainGroupOnly_data();
    void parsesTheMainGroupOnly();
    void indexesInstalledApplications();
};

void DesktopEntryTest::parsesTheMainGroupOnly_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("wmClass");

    QTest::newRow("plain") << QByteArray("[Desktop Entry]\nType=Application\nName=Text Editor\nStartupWMClass=Gedit\n")
                           << true << "Text Editor" << "Application" << "Gedit";
    QTest::newRow("actions do not override")
        << QByteArray("# c\n[Desktop Entry]\nName = Files \nType=Application\n[Desktop Action new]\nName=New Window\n")
        << true << "Files" << "Application" << "";
    QTest::newRow("escapes") << QByteArray("[Desktop Entry]\nName=A\\sB\\\\C\nType=Link\n") << true << "A B\\C" << "Link" << "";
    QTest::newRow("no main group") << QByteArray("[Something]\nName=X\n") << false << "" << "" << "";
    QTest::newRow("binary junk") << QByteArray("\x00\xff\x10[", 4) << false << "" << "" << "";
}

void DesktopEntryTest::parsesTheMainGroupOnly()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, valid);
    const auto entry = DesktopEntry::parse(contents);
    QCOMPARE(bool(entry), valid);
    if (!entry)
        return;
    QTEST(entry->name, "name");
    QTEST(entry->type, "type");
    QTEST(entry->startupWMClass, "wmClass");
}

void DesktopEntryTest::indexesInstalledApplications()
{
    QTemporaryDir home;
    QTemporaryDir system;
    auto write = [](const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write(home.filePath("org.example.Editor.desktop"),
          "[Desktop Entry]\nType=Application\nName=My Editor\nName[de]=Mein Editor\nName[pt_BR]=Meu Editor\n");
    write(system.filePath("org.example.Editor.desktop"), "[Desktop Entry]\nType=Application\nName=System Editor\n");
    write(system.filePath("kde/konsole.desktop"), "[Desktop Entry]\nType=Application\nName=Konsole\n");
    write(system.filePath("firefox-esr.desktop"), "[Desktop Entry]\nType=Application\nName=Firefox\nStartupWMClass=Navigator\n");
    write(system.filePath("hidden.desktop"), "[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n");
    write(system.filePath("link.desktop"), "[Desktop Entry]\nType=Link\nName=Web\n");

    DesktopEntryIndex index({home.path(), system.path()});
    // The user's own entry wins over the system's.
    QCOMPARE(index.entry(QStringLiteral("org.example.Editor"))->name, QStringLiteral("My Editor"));
    QCOMPARE(index.entry(QStringLiteral("org.example.Editor"))->localizedName(QStringLiteral("de-CH")), QStringLiteral("Mein Editor"));
    QCOMPARE(index.entry(QStringLiteral("org.example.Editor"))->localizedName(QStringLiteral("pt-BR")), QStringLiteral("Meu Editor"));
    QCOMPARE(index.entry(QStringLiteral("org.example.Editor"))->localizedName(QStringLiteral("ja")), QStringLiteral("My Editor"));
    // Subfolders become part of the id.
    QVERIFY(index.entry(QStringLiteral("kde-konsole")));
    QVERIFY(!index.entry(QStringLiteral("hidden")));
    QVERIFY(!index.entry(QStringLiteral("link")));

    QCOMPARE(index.entryForWindowClass(QStringLiteral("Navigator"), QStringLiteral("firefox-esr"))->id, QStringLiteral("firefox-esr"));
    QCOMPARE(index.entryForWindowClass(QStringLiteral("x"), QStringLiteral("Navigator"))->id, QStringLiteral("firefox-esr"));
    QCOMPARE(index.entryForWindowClass(QStringLiteral("editor"), QStringLiteral("ORG.EXAMPLE.EDITOR"))->id, QStringLiteral("org.example.Editor"));
    QVERIFY(!index.entryForWindowClass(QStringLiteral("xterm"), QStringLiteral("XTerm")));
}

TOLVANE_TEST_GUILESS_MAIN(DesktopEntryTest)
#include "DesktopEntryTest.moc"
