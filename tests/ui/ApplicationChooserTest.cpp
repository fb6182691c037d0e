#include "UiTestServices.h"

#include "platform/freedesktop/DesktopEntryIndex.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"
#include "ui/AddRuleView.h"
#include "ui/ApplicationChooser.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

using tolvane::test::writeFile;

namespace {

QString applicationsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications");
}

QVariantMap fileDialogState()
{
    QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
    settings.beginGroup(QStringLiteral("FileDialog"));
    QVariantMap values;
    for (const QString& key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

} // namespace

// The add sheet's "Choose from Applications...": the installed applications
// by name, searchable, and a .desktop file dialog behind "Other…". Either
// choice replaces a running application picked before, and is saved as the rule's target.
class ApplicationChooserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // Only the applications this test installs, none of the machine's.
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_systemData.path()));
    }

    void init()
    {
        QDir(applicationsFolder()).removeRecursively();
        const QByteArray app = "[Desktop Entry]\nType=Application\nExec=x\n";
        QVERIFY(writeFile(applicationsFolder() + "/org.gnome.TextEditor.desktop",
                          app + "Name=Text Editor\nName[de]=Texteditor\nIcon=accessories-text-editor\n"));
        QVERIFY(writeFile(applicationsFolder() + "/firefox-esr.desktop", app + "Name=Firefox ESR\n"));
        QVERIFY(writeFile(applicationsFolder() + "/kde/konsole.desktop", app + "Name=Konsole\n"));
        QVERIFY(writeFile(applicationsFolder() + "/nameless.desktop", app));
        // Never listed: settings modules, hidden entries, links.
        QVERIFY(writeFile(applicationsFolder() + "/kcm_kwin_effects.desktop",
                          app + "Name=Desktop Effects\nNoDisplay=true\n"));
        QVERIFY(writeFile(applicationsFolder() + "/removed.desktop", app + "Name=Removed\nHidden=true\n"));
        QVERIFY(writeFile(applicationsFolder() + "/site.desktop",
                          "[Desktop Entry]\nType=Link\nName=Site\nURL=https://x\n"));
        DesktopEntryIndex::shared().invalidate();
        m_services = std::make_unique<UiTestServices>();
        m_services->running = {FakeApplicationSource::app(QStringLiteral("kitty"), QStringLiteral("pid:kitty"))};
    }

    void cleanup() { m_services.reset(); }

    void listsInstalledApplicationsByName_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("search"); // typed into the search field; "↓": the Down key
        QTest::addColumn<QStringList>("shown"); // the list, in order
        QTest::addColumn<QString>("chosenId"); // after Return; none: nothing chosen
        QTest::addColumn<QString>("chosenName");
        const QStringList all{"Firefox ESR", "Konsole", "nameless", "Text Editor"};
        const auto row = [](const char* tag, const QString& language, const QString& search, const QStringList& shown,
                            const QString& chosenId, const QString& chosenName) {
            QTest::newRow(tag) << language << search << shown << chosenId << chosenName;
        };
        row("everything", "en", "", all, "firefox-esr", "Firefox ESR");
        row("arrow key down", "en", "↓", all, "kde-konsole", "Konsole");
        row("by name, any case", "en", "EDIT", {"Text Editor"}, "org.gnome.TextEditor", "Text Editor");
        row("by id", "en", "gnome", {"Text Editor"}, "org.gnome.TextEditor", "Text Editor");
        row("localized name", "de", "texted", {"Texteditor"}, "org.gnome.TextEditor", "Texteditor");
        row("no match", "en", "effects", {}, "", "");
    }

    void listsInstalledApplicationsByName()
    {
        QFETCH(QString, language);
        QFETCH(QString, search);
        QFETCH(QStringList, shown);
        QFETCH(QString, chosenId);
        QFETCH(QString, chosenName);
        m_services->localization->setLanguage(language, false);
        AddRuleView sheet(m_services->engine(), m_services->inputSources());
        ApplicationChooser* chooser = openChooser(sheet);
        QVERIFY(chooser);
        if (search == QStringLiteral("↓"))
            QTest::keyClick(chooser->searchField(), Qt::Key_Down);
        else
            QTest::keyClicks(chooser->searchField(), search);
        QCOMPARE(chooser->shownNames(), shown);
        QTest::keyClick(chooser->searchField(), Qt::Key_Return);
        if (chosenId.isEmpty()) {
            QVERIFY(chooser->isVisible());
            QVERIFY(!sheet.manualBundleID());
            return;
        }
        QTRY_VERIFY(!sheet.applicationChooser());
        QVERIFY(!sheet.selectedApp());
        QCOMPARE(sheet.manualBundleID(), std::optional<QString>(chosenId));
        QCOMPARE(sheet.manualAppName(), std::optional<QString>(chosenName));
        QVERIFY(sheet.manualRow()->isVisible());
        // Picking a running application again drops the chosen one.
        sheet.runningAppsPicker()->setCurrentIndex(1);
        QVERIFY(sheet.selectedApp());
        QVERIFY(!sheet.manualBundleID());
        QVERIFY(!sheet.manualRow()->isVisible());
    }

    void otherChoosesAFileAndLeavesQtFileDialogsAlone_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("chosenId"); // none: refused with an alert
        QTest::addColumn<QString>("shown"); // the rule's application name, or the alert's text
        const QByteArray named = "[Desktop Entry]\nType=Application\nName=Text Editor\nName[ja]=テキストエディター\n";
        const QString notEntry = QStringLiteral("Please choose a .desktop application entry.");
        const QString notApplication = QStringLiteral("The chosen file is not an application entry.");
        const QString gedit = QStringLiteral("org.gnome.gedit");
        const auto row = [](const char* tag, const QString& fileName, const QByteArray& contents,
                            const QString& language, const QString& chosenId, const QString& shown) {
            QTest::newRow(tag) << fileName << contents << language << chosenId << shown;
        };
        row("plain name", gedit + ".desktop", named, "de", gedit, "Text Editor");
        row("localized name", gedit + ".desktop", named, "ja", gedit, "テキストエディター");
        row("no name: the file name", gedit + ".desktop", "[Desktop Entry]\nType=Application\nExec=gedit\n", "en",
            gedit, gedit);
        row("not an entry", "notes.txt", "hello", "en", "", notEntry);
        row("capital extension", "editor.DESKTOP", named, "en", "", notEntry);
        row("link entry", "site.desktop", "[Desktop Entry]\nType=Link\nName=Site\nURL=https://x\n", "en", "",
            notApplication);
        row("no entry group", "junk.desktop", "\x01\x02 not an entry", "en", "", notApplication);
        row("nameless file", ".desktop", named, "en", "", notApplication);
    }

    void otherChoosesAFileAndLeavesQtFileDialogsAlone()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        QFETCH(QString, language);
        QFETCH(QString, chosenId);
        QFETCH(QString, shown);
        // What other Qt applications keep there.
        {
            QSettings shared(QSettings::UserScope, QStringLiteral("QtProject"));
            shared.setValue(QStringLiteral("FileDialog/shortcuts"), QStringList{"file:///home", "file:///srv"});
            shared.setValue(QStringLiteral("FileDialog/lastVisited"), QStringLiteral("file:///srv"));
        }
        const QVariantMap before = fileDialogState();
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        QVERIFY(writeFile(path, contents));
        m_services->localization->setLanguage(language, false);

        AddRuleView sheet(m_services->engine(), m_services->inputSources());
        sheet.runningAppsPicker()->setCurrentIndex(1);
        ApplicationChooser* chooser = openChooser(sheet);
        QVERIFY(chooser);
        QTest::mouseClick(chooser->otherButton(), Qt::LeftButton);
        QFileDialog* dialog = chooser->fileDialog();
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        QTest::keyClicks(name, path);
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_VERIFY(!sheet.applicationChooser());
        QCOMPARE(fileDialogState(), before);

        if (chosenId.isEmpty()) {
            QVERIFY(sheet.errorAlert());
            QCOMPARE(sheet.errorAlert()->windowTitle(), QStringLiteral("Error"));
            QCOMPARE(sheet.errorAlert()->text(), shown);
            QVERIFY(!sheet.manualBundleID());
            QVERIFY(sheet.selectedApp()); // the running application stays picked
            return;
        }
        QVERIFY(!sheet.errorAlert());
        QVERIFY(!sheet.selectedApp());
        QVERIFY(sheet.manualRow()->text().endsWith(QLatin1Char(' ') + shown));
        QVERIFY(!sheet.addButton()->isEnabled()); // not before a source is picked
        sheet.inputSourcePicker()->setCurrentIndex(sheet.inputSourcePicker()->findData(QStringLiteral("xkb:ru")));
        QTest::mouseClick(sheet.addButton(), Qt::LeftButton);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        AppRule expected = ruleFor(chosenId, QStringLiteral("xkb:ru"));
        expected.appName = shown;
        QCOMPARE(m_services->engine().rules().size(), 1);
        expected.id = m_services->engine().rules().first().id;
        QCOMPARE(m_services->engine().rules().first(), expected);
    }

private:
    ApplicationChooser* openChooser(AddRuleView& sheet)
    {
        sheet.show();
        QTest::mouseClick(sheet.chooseButton(), Qt::LeftButton);
        ApplicationChooser* chooser = sheet.applicationChooser();
        return chooser && QTest::qWaitForWindowExposed(chooser) ? chooser : nullptr;
    }

    QTemporaryDir m_systemData;
    std::unique_ptr<UiTestServices> m_services;
};

TOLVANE_TEST_MAIN(ApplicationChooserTest)
#include "ApplicationChooserTest.moc"
