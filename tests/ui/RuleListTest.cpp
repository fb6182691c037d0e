#include "UiTestServices.h"

#include "platform/freedesktop/DesktopEntryIndex.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"
#include "ui/AddRuleView.h"
#include "ui/AppIconView.h"
#include "ui/EditRuleView.h"
#include "ui/EmptyStateView.h"
#include "ui/RuleListView.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListView>
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
        QTest::mouseClick(view.addSheet()->cancelButton(), Qt::LeftButton);
        QVERIFY(!view.showingAddSheet());

        m_services->engine().addRule(ruleFor("kitty", "xkb:us"));
        QVERIFY(!view.emptyState()->isVisible());
        QCOMPARE(view.list()->model()->rowCount(), bundles.size() + 1);
    }

    // Rows are picked with Control-clicks (which open no rule), in any order.
    void multiRowDeleteRemovesExactlyTheSelectedRules_data()
    {
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QString>("how"); // "Delete", "Backspace" or "menu"
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("two apart") << QList<int>{1, 3} << "Delete" << QStringList{"a", "c", "e"};
        QTest::newRow("picked descending") << QList<int>{4, 0, 2} << "Backspace" << QStringList{"b", "d"};
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4} << "Delete" << QStringList{};
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
        for (int position : std::as_const(positions))
            QTest::mouseClick(view.list()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(view, position));
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
        QTest::mouseClick(view.editSheet()->cancelButton(), Qt::LeftButton);
        QVERIFY(!view.editingRule());
        QVERIFY(!view.editSheet());

        view.list()->setFocus();
        QTest::keyClick(view.list(), Qt::Key_Home);
        QTest::keyClick(view.list(), Qt::Key_Down);
        QTest::keyClick(view.list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(view.list()->selectionModel()->selectedRows().size(), 2);
        QTest::keyClick(view.list(), Qt::Key_Return);
        QCOMPARE(view.editSheet()->rule(), m_services->engine().rules().at(2));
        QTest::mouseClick(view.editSheet()->cancelButton(), Qt::LeftButton);
        QCOMPARE(m_services->engine().rules().size(), 3);
    }

    void iconLookUpOrder()
    {
        // The installed entry's icon comes first, then the running application's own.
        const QString applications =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications");
        QVERIFY(QDir().mkpath(applications));
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        QTemporaryDir dir;
        const QString iconPath = dir.filePath(QStringLiteral("editor.png"));
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

    // The running regular applications by name: missing name first, capitals before lower case,
    // no locale collation. Neither an application nor a source alone adds a rule.
    void addSheetValidatesAndSaves_data()
    {
        QTest::addColumn<int>("app"); // in the sorted list; -1: none
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("bundle"); // of the rule added; none: no rule
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, int app, const QString& source, const QString& bundle,
                            const QString& name) { QTest::newRow(tag) << app << source << bundle << name; };
        row("nothing", -1, "", "", "");
        row("app only", 1, "", "", "");
        row("source only", -1, "xkb:de", "", "");
        row("app and source", 1, "xkb:de", "alpha", "Alpha");
        row("app without a name", 0, "xkb:ru", "nameless", "Unknown");
        row("app without an identifier", 2, "xkb:de", "", "");
    }

    void addSheetValidatesAndSaves()
    {
        QFETCH(int, app);
        QFETCH(QString, source);
        QFETCH(QString, bundle);
        QFETCH(QString, name);
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
        for (const RunningApplication& running : sheet.runningApps())
            order.append(running.bundleIdentifier.value_or(QStringLiteral("-")));
        QCOMPARE(order, (QStringList{"nameless", "alpha", "-", "beta", "zed", "emile"}));
        QCOMPARE(sheet.runningAppsPicker()->count(), 7);
        QCOMPARE(sheet.runningAppsPicker()->itemText(1), QStringLiteral("Unknown"));

        sheet.runningAppsPicker()->setCurrentIndex(app + 1);
        sheet.inputSourcePicker()->setCurrentIndex(qMax(0, sheet.inputSourcePicker()->findData(source)));
        QCOMPARE(sheet.addButton()->isEnabled(), app >= 0 && !source.isEmpty());
        QTest::mouseClick(sheet.addButton(), Qt::LeftButton);
        if (bundle.isEmpty()) {
            QVERIFY(m_services->engine().rules().isEmpty());
            QVERIFY(sheet.isVisible());
            return;
        }
        QCOMPARE(m_services->engine().rules().size(), 1);
        AppRule expected = ruleFor(bundle, source);
        expected.appName = name;
        expected.id = m_services->engine().rules().first().id;
        QCOMPARE(m_services->engine().rules().first(), expected);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
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

    std::unique_ptr<UiTestServices> m_services;
};

TOLVANE_TEST_MAIN(RuleListTest)
#include "RuleListTest.moc"
