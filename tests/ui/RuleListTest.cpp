#include "UiTestServices.h"

#include "platform/freedesktop/DesktopEntryIndex.h"
#include "services/PermissionsManager.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"
#include "ui/AddRuleView.h"
#include "ui/AppIconView.h"
#include "ui/EditRuleView.h"
#include "ui/EmptyStateView.h"
#include "ui/RuleListView.h"
#include "ui/RuleRow.h"
#include "ui/SettingsView.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>

using tolvane::test::writeFile;

namespace {

RunningApplication
runningApp(const QString& name, const std::optional<QString>& bundle,
           RunningApplication::ActivationPolicy policy = RunningApplication::ActivationPolicy::Regular)
{
    RunningApplication app = FakeApplicationSource::app(bundle.value_or(QString()), QStringLiteral("pid:") + name);
    app.localizedName = name;
    app.activationPolicy = policy;
    return app;
}

QStringList bundleIDs(const QList<AppRule>& rules)
{
    QStringList ids;
    for (const AppRule& rule : rules)
        ids.append(rule.appBundleID);
    return ids;
}

} // namespace

class RuleListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QFile::remove(RuleEngine::rulesFileURL());
        m_services = std::make_unique<UiTestServices>();
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void cleanup() { m_services.reset(); }

    void emptyStateCountBarAndAddButtons_data()
    {
        QTest::addColumn<QStringList>("bundles");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("one") << QStringList{"a"} << "1 Rule";
        QTest::newRow("two") << QStringList{"a", "b"} << "2 Rules";
    }

    void emptyStateCountBarAndAddButtons()
    {
        QFETCH(QStringList, bundles);
        QFETCH(QString, text);
        for (const QString& bundle : std::as_const(bundles))
            m_services->engine().addRule(ruleFor(bundle, "xkb:us"));
        RuleListView view(m_services->engine(), m_services->inputSources());
        view.show();
        const bool empty = bundles.isEmpty();
        QCOMPARE(view.emptyState()->isVisible(), empty);
        QCOMPARE(view.list()->isVisible(), !empty);
        QCOMPARE(view.countLabel()->isVisible(), !empty);
        if (!empty)
            QCOMPARE(view.countLabel()->text(), text);
        // Rows go with Delete or the context menu; the minus button never deletes.
        view.list()->selectAll();
        QVERIFY(!view.minusButton()->isEnabled());

        QTest::mouseClick(empty ? view.emptyState()->createButton() : view.plusButton(), Qt::LeftButton);
        QVERIFY(view.showingAddSheet());
        QCOMPARE(view.addSheet()->windowModality(), Qt::WindowModal);
        view.addSheet()->reject();
        QVERIFY(!view.showingAddSheet());

        m_services->engine().addRule(ruleFor("kitty", "xkb:us"));
        QVERIFY(!view.emptyState()->isVisible());
        QCOMPARE(view.list()->model()->rowCount(), bundles.size() + 1);
    }

    void multiRowDeleteRemovesExactlyTheSelectedRules_data()
    {
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QString>("how"); // "call", "Delete", "Backspace" or "menu"
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("two apart") << QList<int>{1, 3} << "call" << QStringList{"a", "c", "e"};
        QTest::newRow("given descending") << QList<int>{4, 0, 2} << "call" << QStringList{"b", "d"};
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4} << "call" << QStringList{};
        QTest::newRow("out of range ignored") << QList<int>{4, 9, -1} << "call" << QStringList{"a", "b", "c", "d"};
        QTest::newRow("Delete key") << QList<int>{0, 2} << "Delete" << QStringList{"b", "d", "e"};
        QTest::newRow("Backspace key") << QList<int>{3} << "Backspace" << QStringList{"a", "b", "c", "e"};
        QTest::newRow("context menu") << QList<int>{1, 4} << "menu" << QStringList{"a", "c", "d"};
    }

    void multiRowDeleteRemovesExactlyTheSelectedRules()
    {
        QFETCH(QList<int>, positions);
        QFETCH(QString, how);
        QFETCH(QStringList, remaining);
        for (const char* bundle : {"a", "b", "c", "d", "e"})
            m_services->engine().addRule(ruleFor(QString::fromLatin1(bundle), "xkb:us"));
        RuleListView view(m_services->engine(), m_services->inputSources());
        view.resize(500, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        if (how == QLatin1String("call")) {
            view.deleteRulesAt(positions);
        } else {
            // Control-clicks select without opening a rule.
            for (int position : std::as_const(positions))
                QTest::mouseClick(view.list()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  rowCentre(view, position));
            QVERIFY(!view.editingRule());
            if (how == QLatin1String("menu")) {
                QTimer::singleShot(0, [] {
                    QWidget* menu = QApplication::activePopupWidget();
                    QVERIFY(menu);
                    QTest::keyClick(menu, Qt::Key_Down);
                    QTest::keyClick(menu, Qt::Key_Return);
                });
                // What a right click on a selected row delivers.
                const QPoint at = rowCentre(view, positions.first());
                QContextMenuEvent click(QContextMenuEvent::Mouse, at, view.list()->viewport()->mapToGlobal(at));
                QApplication::sendEvent(view.list()->viewport(), &click);
                QTRY_COMPARE(bundleIDs(m_services->engine().rules()), remaining);
            } else {
                QTest::keyClick(view.list(), how == QLatin1String("Delete") ? Qt::Key_Delete : Qt::Key_Backspace);
            }
        }
        QCOMPARE(bundleIDs(m_services->engine().rules()), remaining);
        QCOMPARE(view.list()->model()->rowCount(), remaining.size());
        QVERIFY(!view.showingAddSheet());
        QVERIFY(!view.editingRule());
    }

    // A click or Return on the current rule edits it; arrow keys move, Shift extends.
    void rowsShowTheirTargetAndOpenTheEditSheet()
    {
        m_services->engine().addRule(ruleFor("a", "xkb:de"));
        m_services->engine().addRule(ruleFor("b", "xkb:gone"));
        m_services->engine().addRule(ruleFor("c", "xkb:us"));
        RuleListView view(m_services->engine(), m_services->inputSources());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        // The target's name, or the identifier of a source no longer installed,
        // also in each row's accessible name.
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view.list());
        QStringList names;
        for (int child = 0; child < list->childCount(); ++child)
            names.append(list->child(child)->text(QAccessible::Name));
        QCOMPARE(names, (QStringList{"a → German", "b → xkb:gone", "c → English (US)"}));

        QTest::mouseClick(view.list()->viewport(), Qt::LeftButton, {}, rowCentre(view, 1));
        QVERIFY(view.editingRule());
        QCOMPARE(view.editSheet()->rule(), m_services->engine().rules().at(1));
        view.editSheet()->reject();
        QVERIFY(!view.editingRule());
        QVERIFY(!view.editSheet());

        view.list()->setFocus();
        QTest::keyClick(view.list(), Qt::Key_Home);
        QTest::keyClick(view.list(), Qt::Key_Down);
        QTest::keyClick(view.list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(view.list()->selectionModel()->selectedRows().size(), 2);
        QTest::keyClick(view.list(), Qt::Key_Return);
        QCOMPARE(view.editSheet()->rule(), m_services->engine().rules().at(2));
        view.editSheet()->reject();
        QCOMPARE(m_services->engine().rules().size(), 3);
    }

    void bannerFollowsTrustAndFirstPage()
    {
        bool trusted = false;
        PermissionsManager permissions([&trusted] { return trusted; });
        SettingsView window(m_services->engine(), m_services->inputSources(), permissions);
        window.show();
        QCOMPARE(window.currentPage(), 0);
        QVERIFY(window.isBannerVisible());
        trusted = true;
        permissions.checkAccessibility();
        QTRY_VERIFY(!window.isBannerVisible());
        trusted = false;
        permissions.checkAccessibility();
        QTRY_VERIFY(window.isBannerVisible());

        // The rule list reached through the sidebar carries no banner.
        window.showPage(SettingsView::GeneralSettings);
        window.showPage(SettingsView::RuleManagement);
        QCOMPARE(window.currentPage(), 0);
        QVERIFY(!window.isBannerVisible());
    }

    void iconLookUpOrder()
    {
        // The installed entry's icon comes first, then the running application's own.
        const QString applications =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications");
        QVERIFY(QDir().mkpath(applications));
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        const QString iconPath = m_dir->filePath(QStringLiteral("editor.png"));
        QVERIFY(icon.save(iconPath));
        const QString entry = applications + QStringLiteral("/org.example.Editor.desktop");
        QVERIFY(writeFile(entry, "[Desktop Entry]\nType=Application\nName=Editor\nIcon=" + iconPath.toUtf8() + "\n"));
        DesktopEntryIndex::shared().invalidate();

        RunningApplication editor = runningApp("Editor", QStringLiteral("org.example.Editor"));
        icon.fill(Qt::blue);
        editor.icon = icon;
        const QList<RunningApplication> running{runningApp("Other", QStringLiteral("other")), editor};
        const auto centre = [&running](const QString& bundle) {
            const auto icon = AppIconView::lookUpIcon(bundle, running);
            return icon ? icon->pixmap(16, 16).toImage().pixelColor(8, 8) : QColor();
        };
        QCOMPARE(centre(QStringLiteral("org.example.Editor")), QColor(Qt::red));
        QVERIFY(QFile::remove(entry));
        DesktopEntryIndex::shared().invalidate();
        QCOMPARE(centre(QStringLiteral("org.example.Editor")), QColor(Qt::blue));

        // The placeholder stays: no identifier, an unknown one, a match only by
        // case, or a running application without an icon.
        for (const char* bundle : {"", "com.example.nowhere", "ORG.example.editor", "other"})
            QVERIFY2(!AppIconView::lookUpIcon(QString::fromLatin1(bundle), running), bundle);
    }

    void runningAppsAreRegularAndSorted()
    {
        using Policy = RunningApplication::ActivationPolicy;
        m_services->running = {
            runningApp("zed", QStringLiteral("zed")),
            runningApp("Alpha", QStringLiteral("alpha")),
            runningApp("Tray", QStringLiteral("tray"), Policy::Accessory),
            runningApp("beta", QStringLiteral("beta")),
            runningApp("", QStringLiteral("nameless")),
            runningApp("Émile", QStringLiteral("emile")),
            runningApp("Mystery", std::nullopt),
        };
        AddRuleView sheet(m_services->engine(), m_services->inputSources());
        sheet.show();
        QStringList order;
        for (const RunningApplication& app : sheet.runningApps())
            order.append(app.bundleIdentifier.value_or(QStringLiteral("-")));
        // Missing name first, capitals before lower case, no locale collation.
        QCOMPARE(order, (QStringList{"nameless", "alpha", "-", "beta", "zed", "emile"}));
        QCOMPARE(sheet.runningAppsPicker()->count(), 7);
        QCOMPARE(sheet.runningAppsPicker()->itemText(1), QStringLiteral("Unknown"));

        // An application without an identifier can be picked but adds no rule.
        sheet.selectRunningApp(2);
        sheet.selectInputSource(QStringLiteral("xkb:us"));
        QTest::mouseClick(sheet.addButton(), Qt::LeftButton);
        QVERIFY(m_services->engine().rules().isEmpty());
        QVERIFY(sheet.isVisible());
    }

    void addSheetValidatesAndSaves_data()
    {
        QTest::addColumn<bool>("pickApp");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QString>("shown"); // the new rule's application name, or the error
        const QByteArray named = "[Desktop Entry]\nType=Application\nName=Text Editor\n"
                                 "Name[ja]=テキストエディター\n";
        const QByteArray nameless = "[Desktop Entry]\nType=Application\nExec=gedit\n";
        const QByteArray link = "[Desktop Entry]\nType=Link\nName=Site\nURL=https://x\n";
        const QString gedit = QStringLiteral("org.gnome.gedit.desktop");
        const QString notEntry = QStringLiteral("Please choose a .desktop application entry.");
        const QString notApplication = QStringLiteral("The chosen file is not an application entry.");
        const auto row = [](const char* tag, bool pickApp, const QString& fileName, const QByteArray& contents,
                            const QString& language, const QString& source, bool added, const QString& shown) {
            QTest::newRow(tag) << pickApp << fileName << contents << language << source << added << shown;
        };
        row("nothing", false, "", {}, "", "", false, "");
        row("app only", true, "", {}, "", "", false, "");
        row("source only", false, "", {}, "", "xkb:de", false, "");
        row("file only", false, gedit, named, "", "", false, "");
        row("app and source", true, "", {}, "", "xkb:de", true, "Kitty");
        row("file, plain name", false, gedit, named, "de", "xkb:ru", true, "Text Editor");
        row("file, localized name", false, gedit, named, "ja", "xkb:ru", true, "テキストエディター");
        row("file, file name", false, gedit, nameless, "", "xkb:ru", true, "org.gnome.gedit");
        row("capital extension", false, "editor.DESKTOP", named, "", "xkb:ru", false, notEntry);
        row("link entry", false, "site.desktop", link, "", "xkb:ru", false, notApplication);
        row("no entry group", false, "junk.desktop", "\x01\x02 not an entry", "", "xkb:ru", false, notApplication);
        row("nameless file", false, ".desktop", named, "", "xkb:ru", false, notApplication);
    }

    void addSheetValidatesAndSaves()
    {
        QFETCH(bool, pickApp);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        QFETCH(QString, language);
        QFETCH(QString, source);
        QFETCH(bool, added);
        QFETCH(QString, shown);
        if (!language.isEmpty())
            m_services->localization->setLanguage(language, false);
        m_services->running = {runningApp("Kitty", QStringLiteral("kitty"))};
        AddRuleView sheet(m_services->engine(), m_services->inputSources());
        sheet.show();
        if (pickApp)
            sheet.selectRunningApp(0);
        if (!fileName.isEmpty())
            sheet.handleChosenFiles({writeEntry(fileName, contents)});
        if (!source.isEmpty())
            sheet.selectInputSource(source);
        QCOMPARE(sheet.addButton()->isEnabled(), added);
        QCOMPARE(bool(sheet.errorAlert()), !added && !shown.isEmpty());
        if (sheet.errorAlert()) {
            QCOMPARE(sheet.errorAlert()->windowTitle(), QStringLiteral("Error"));
            QCOMPARE(sheet.errorAlert()->text(), shown);
        }

        sheet.addRule();
        QCOMPARE(m_services->engine().rules().size(), added ? 1 : 0);
        if (added) {
            AppRule expected = ruleFor(pickApp ? QStringLiteral("kitty") : QStringLiteral("org.gnome.gedit"), source);
            expected.appName = shown;
            expected.id = m_services->engine().rules().first().id;
            QCOMPARE(m_services->engine().rules().first(), expected);
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
        }
    }

    void choosingOnDiskAndRunningAppsExcludeEachOther()
    {
        m_services->running = {runningApp("Kitty", QStringLiteral("kitty"))};
        AddRuleView sheet(m_services->engine(), m_services->inputSources());
        sheet.show();
        sheet.selectRunningApp(0);
        QVERIFY(sheet.selectedApp());

        sheet.handleChosenFiles({writeEntry("firefox.desktop", "[Desktop Entry]\nType=Application\nName=Firefox\n")});
        QVERIFY(!sheet.selectedApp());
        QCOMPARE(sheet.manualBundleID(), std::optional<QString>(QStringLiteral("firefox")));
        QCOMPARE(sheet.manualRow()->text(), QStringLiteral("Selected: Firefox"));
        QVERIFY(sheet.manualRow()->isVisible());

        sheet.selectRunningApp(0);
        QVERIFY(sheet.selectedApp());
        QVERIFY(!sheet.manualBundleID());
        QVERIFY(!sheet.manualRow()->isVisible());

        // A refused file leaves the running-app choice alone.
        sheet.handleChosenFiles({writeEntry("notes.txt", "hello")});
        QVERIFY(sheet.selectedApp());
        QVERIFY(!sheet.manualBundleID());
    }

    void editSheetLoadsAndSaves_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("newSource");
        QTest::addColumn<bool>("toggle");
        QTest::addColumn<QString>("button");
        QTest::newRow("unchanged enabled") << "xkb:de" << true << "" << false << "save";
        QTest::newRow("unchanged disabled") << "xkb:de" << false << "" << false << "save";
        QTest::newRow("new source") << "xkb:de" << true << "xkb:ru" << false << "save";
        QTest::newRow("switched on") << "xkb:de" << false << "" << true << "save";
        QTest::newRow("missing target kept") << "xkb:gone" << true << "" << false << "save";
        QTest::newRow("cancelled") << "xkb:de" << true << "xkb:ru" << true << "cancel";
        QTest::newRow("deleted") << "xkb:de" << true << "" << false << "delete";
    }

    void editSheetLoadsAndSaves()
    {
        QFETCH(QString, target);
        QFETCH(bool, enabled);
        QFETCH(QString, newSource);
        QFETCH(bool, toggle);
        QFETCH(QString, button);
        m_services->engine().addRule(ruleFor("a", "xkb:us"));
        m_services->engine().addRule(ruleFor("b", target, enabled));
        const AppRule original = m_services->engine().rules().at(1);
        EditRuleView sheet(m_services->engine(), m_services->inputSources(), original);
        sheet.show();
        QCOMPARE(sheet.selectedInputSourceID(), target);
        QCOMPARE(sheet.enabledToggle()->isChecked(), enabled);
        QCOMPARE(sheet.inputSourcePicker()->itemText(0), QStringLiteral("English (US)")); // no placeholder row

        if (!newSource.isEmpty())
            sheet.inputSourcePicker()->setCurrentIndex(sheet.inputSourcePicker()->findData(newSource));
        if (toggle)
            QTest::keyClick(sheet.enabledToggle(), Qt::Key_Space);
        QPushButton* clicked = button == QLatin1String("save") ? sheet.saveButton()
            : button == QLatin1String("cancel")                ? sheet.cancelButton()
                                                               : sheet.deleteButton();
        QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(sheet.result(), int(button == QLatin1String("cancel") ? QDialog::Rejected : QDialog::Accepted));
        if (button == QLatin1String("delete")) {
            QCOMPARE(bundleIDs(m_services->engine().rules()), QStringList{"a"});
            return;
        }
        AppRule expected = original;
        if (button == QLatin1String("save")) {
            if (!newSource.isEmpty())
                expected.targetInputSourceID = newSource;
            expected.isEnabled = toggle ? !enabled : enabled;
        }
        QCOMPARE(bundleIDs(m_services->engine().rules()), (QStringList{"a", "b"}));
        QCOMPARE(m_services->engine().rules().at(1), expected);
    }

    void saveFailureShowsOnceAboveEveryPageUntilASaveWorks()
    {
        for (const char* bundle : {"a", "b", "c"})
            m_services->engine().addRule(ruleFor(QString::fromLatin1(bundle), "xkb:us"));
        SettingsWindow window(*m_services, true);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.saveErrorLabel()->isVisible());

        // Something in the file's place makes every save fail.
        QVERIFY(QFile::remove(RuleEngine::rulesFileURL()));
        QVERIFY(QDir().mkdir(RuleEngine::rulesFileURL()));
        QListView* list = window.ruleListView()->list();
        const QPoint firstRow = list->visualRect(list->model()->index(0, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, firstRow);
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(window.saveErrorLabel()->isVisible());
        QVERIFY(window.saveErrorLabel()->text().startsWith(QStringLiteral("The rules could not be saved.")));
        QVERIFY(window.saveErrorLabel()->toolTip().contains(RuleEngine::rulesFileURL()));
        window.showPage(SettingsView::Features);
        QVERIFY(window.saveErrorLabel()->isVisible());
        window.showPage(SettingsView::RuleManagement);

        QVERIFY(QDir().rmdir(RuleEngine::rulesFileURL()));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, firstRow);
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(!window.saveErrorLabel()->isVisible());
        QCOMPARE(bundleIDs(m_services->engine().rules()), QStringList{"c"});
    }

private:
    static QPoint rowCentre(const RuleListView& view, int row)
    {
        return view.list()->visualRect(view.list()->model()->index(row, 0)).center();
    }

    QString writeEntry(const QString& fileName, const QByteArray& contents)
    {
        const QString path = m_dir->filePath(fileName);
        if (!writeFile(path, contents))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    std::unique_ptr<UiTestServices> m_services;
    std::unique_ptr<QTemporaryDir> m_dir;
};

TOLVANE_TEST_MAIN(RuleListTest)
#include "RuleListTest.moc"
