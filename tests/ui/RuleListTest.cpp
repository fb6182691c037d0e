#include "UiTestServices.h"

#include "services/PermissionsManager.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"
#include "ui/AddRuleView.h"
#include "ui/AppIconView.h"
#include "ui/EditRuleView.h"
#include "ui/EmptyStateView.h"
#include "ui/RuleListView.h"
#include "ui/RuleRow.h"
#include "ui/SettingsView.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QDir>
#include <QStandardPaths>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>

namespace {

RunningApplication runningApp(const QString& name, const std::optional<QString>& bundle,
                              RunningApplication::ActivationPolicy policy = RunningApplication::ActivationPolicy::Regular)
{
    RunningApplication app;
    app.processKey = QStringLiteral("pid:") + name + bundle.value_or(QString());
    app.bundleIdentifier = bundle;
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
    void init();
    void cleanup();

    void emptyStateOpensTheAddSheet();
    void countText_data();
    void countText();
    void bottomBarMinusIsAlwaysDisabled();
    void multiRowDeleteRemovesExactlyTheSelectedRules_data();
    void multiRowDeleteRemovesExactlyTheSelectedRules();
    void deleteKeyRemovesTheSelection();
    void clickOpensTheEditSheetForThatRule();
    void rowShowsTargetNameOrIdentifier();
    void bannerFollowsTrustAndFirstPage();
    void versionFooter_data();
    void versionFooter();
    void unknownApplicationKeepsThePlaceholder();
    void installedEntryIconComesFirst();

    void runningAppsAreRegularAndSorted();
    void addButtonEnabling_data();
    void addButtonEnabling();
    void choosingOnDiskAndRunningAppsExcludeEachOther();
    void chosenFileIsRefused_data();
    void chosenFileIsRefused();
    void chosenEntryName_data();
    void chosenEntryName();
    void runningAppWithoutIdentifierAddsNothing();
    void addingForAnExistingAppReplacesItInPlace();

    void editSheetLoadsAndSaves_data();
    void editSheetLoadsAndSaves();
    void editSheetKeepsAMissingTarget();
    void editSheetDeletesAndCancels();

private:
    QString writeEntry(const QString& fileName, const QByteArray& contents);

    std::unique_ptr<UiTestServices> m_services;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void RuleListTest::init()
{
    QFile::remove(RuleEngine::rulesFileURL());
    m_services = std::make_unique<UiTestServices>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void RuleListTest::cleanup()
{
    m_services.reset();
}

QString RuleListTest::writeEntry(const QString& fileName, const QByteArray& contents)
{
    const QString path = m_dir->filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(contents);
    return path;
}

void RuleListTest::emptyStateOpensTheAddSheet()
{
    RuleListView view(m_services->engine(), m_services->inputSources());
    view.show();
    QVERIFY(view.emptyState()->isVisible());
    QVERIFY(!view.list()->isVisible());
    QVERIFY(!view.countLabel()->isVisible());
    QVERIFY(!view.showingAddSheet());

    QTest::mouseClick(view.emptyState()->createButton(), Qt::LeftButton);
    QVERIFY(view.showingAddSheet());
    QVERIFY(view.addSheet()->isVisible());
    QCOMPARE(view.addSheet()->windowModality(), Qt::WindowModal);
    QCOMPARE(view.addSheet()->size(), QSize(450, 400));

    view.addSheet()->reject();
    QVERIFY(!view.showingAddSheet());

    m_services->engine().addRule(makeRule("kitty", "xkb:us"));
    QVERIFY(!view.emptyState()->isVisible());
    QVERIFY(view.list()->isVisible());
}

void RuleListTest::countText_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("one") << 1 << "1 Rule";
    QTest::newRow("two") << 2 << "2 Rules";
    QTest::newRow("eleven") << 11 << "11 Rules";
}

void RuleListTest::countText()
{
    QFETCH(int, count);
    QFETCH(QString, text);
    for (int i = 0; i < count; ++i)
        m_services->engine().addRule(makeRule(QStringLiteral("app%1").arg(i), "xkb:us"));
    RuleListView view(m_services->engine(), m_services->inputSources());
    QCOMPARE(view.countLabel()->text(), text);
    QCOMPARE(view.list()->count(), count);
}

void RuleListTest::bottomBarMinusIsAlwaysDisabled()
{
    m_services->engine().addRule(makeRule("kitty", "xkb:us"));
    RuleListView view(m_services->engine(), m_services->inputSources());
    view.list()->selectAll();
    QVERIFY(!view.minusButton()->isEnabled());
    QCOMPARE(view.plusButton()->toolTip(), QStringLiteral("Add Rule"));
    QTest::mouseClick(view.plusButton(), Qt::LeftButton);
    QVERIFY(view.showingAddSheet());
}

void RuleListTest::multiRowDeleteRemovesExactlyTheSelectedRules_data()
{
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("first") << QList<int>{0} << QStringList{"b", "c", "d", "e"};
    QTest::newRow("two apart") << QList<int>{1, 3} << QStringList{"a", "c", "e"};
    QTest::newRow("given descending") << QList<int>{4, 0, 2} << QStringList{"b", "d"};
    QTest::newRow("adjacent") << QList<int>{2, 3} << QStringList{"a", "b", "e"};
    QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4} << QStringList{};
    QTest::newRow("out of range ignored") << QList<int>{4, 9, -1} << QStringList{"a", "b", "c", "d"};
}

void RuleListTest::multiRowDeleteRemovesExactlyTheSelectedRules()
{
    QFETCH(QList<int>, positions);
    QFETCH(QStringList, remaining);
    for (const char* bundle : {"a", "b", "c", "d", "e"})
        m_services->engine().addRule(makeRule(QString::fromLatin1(bundle), "xkb:us"));
    RuleListView view(m_services->engine(), m_services->inputSources());
    view.deleteRulesAt(positions);
    QCOMPARE(bundleIDs(m_services->engine().rules()), remaining);
    QCOMPARE(view.list()->count(), remaining.size());
}

void RuleListTest::deleteKeyRemovesTheSelection()
{
    for (const char* bundle : {"a", "b", "c", "d"})
        m_services->engine().addRule(makeRule(QString::fromLatin1(bundle), "xkb:us"));
    RuleListView view(m_services->engine(), m_services->inputSources());
    view.show();
    view.list()->item(0)->setSelected(true);
    view.list()->item(2)->setSelected(true);
    view.list()->setFocus();
    QTest::keyClick(view.list(), Qt::Key_Delete);
    QCOMPARE(bundleIDs(m_services->engine().rules()), (QStringList{"b", "d"}));
    QVERIFY(!view.showingAddSheet());
    QVERIFY(!view.editingRule());
}

void RuleListTest::clickOpensTheEditSheetForThatRule()
{
    for (const char* bundle : {"a", "b", "c"})
        m_services->engine().addRule(makeRule(QString::fromLatin1(bundle), "xkb:de"));
    RuleListView view(m_services->engine(), m_services->inputSources());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QRect second = view.list()->visualItemRect(view.list()->item(1));
    QTest::mouseClick(view.list()->viewport(), Qt::LeftButton, {}, second.center());
    QVERIFY(view.editingRule());
    QCOMPARE(view.editingRule()->appBundleID, QStringLiteral("b"));
    QCOMPARE(view.editSheet()->rule(), m_services->engine().rules().at(1));
    QCOMPARE(view.editSheet()->size(), QSize(400, 380));

    view.editSheet()->reject();
    QVERIFY(!view.editingRule());
    QVERIFY(!view.editSheet());
    QCOMPARE(m_services->engine().rules().size(), 3);
}

void RuleListTest::rowShowsTargetNameOrIdentifier()
{
    m_services->engine().addRule(makeRule("a", "xkb:de"));
    m_services->engine().addRule(makeRule("b", "xkb:gone"));
    RuleListView view(m_services->engine(), m_services->inputSources());
    auto* first = qobject_cast<RuleRow*>(view.list()->itemWidget(view.list()->item(0)));
    auto* second = qobject_cast<RuleRow*>(view.list()->itemWidget(view.list()->item(1)));
    QVERIFY(first && second);
    QCOMPARE(first->targetText(), QStringLiteral("German"));
    QCOMPARE(second->targetText(), QStringLiteral("xkb:gone"));
}

void RuleListTest::bannerFollowsTrustAndFirstPage()
{
    bool trusted = false;
    PermissionsManager permissions([&trusted] { return trusted; });
    SettingsView window(m_services->engine(), m_services->inputSources(), permissions);
    window.show();
    QCOMPARE(window.minimumSize(), QSize(700, 450));
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
    QCOMPARE(window.currentPage(), 1);
    window.showPage(SettingsView::RuleManagement);
    QCOMPARE(window.currentPage(), 0);
    QVERIFY(!window.isBannerVisible());

    QStringList titles;
    for (int row = 0; row < window.sidebar()->count(); ++row)
        titles.append(window.sidebar()->item(row)->text());
    QCOMPARE(titles, (QStringList{"Rule Management", "General Settings", "Features", "About"}));
}

void RuleListTest::versionFooter_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("footer");
    QTest::newRow("set") << "2.3" << "v2.3";
    QTest::newRow("missing") << "" << "v1.0";
}

void RuleListTest::versionFooter()
{
    QFETCH(QString, version);
    QFETCH(QString, footer);
    QCOMPARE(SettingsView::versionFooterText(version), footer);
}

void RuleListTest::unknownApplicationKeepsThePlaceholder()
{
    RunningApplication withIcon = runningApp("Kitty", QStringLiteral("kitty"));
    withIcon.icon = QImage(8, 8, QImage::Format_ARGB32);
    withIcon.icon.fill(Qt::red);
    const QList<RunningApplication> running{runningApp("Other", QStringLiteral("other")), withIcon};

    QVERIFY(!AppIconView::lookUpIcon(QStringLiteral("com.example.nowhere"), running));
    QVERIFY(!AppIconView::lookUpIcon(QString(), running));
    // A running application is matched by exact identifier only.
    QVERIFY(!AppIconView::lookUpIcon(QStringLiteral("Kitty"), running));
    QVERIFY(AppIconView::lookUpIcon(QStringLiteral("kitty"), running));
    // Found but without an icon: the placeholder stays.
    QVERIFY(!AppIconView::lookUpIcon(QStringLiteral("other"), running));

    AppIconView view(QStringLiteral("com.example.nowhere"), 32);
    view.show();
    QVERIFY(!view.icon());
    QCOMPARE(view.size(), QSize(32, 32));
}

void RuleListTest::installedEntryIconComesFirst()
{
    const QString applications = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                 + QStringLiteral("/applications");
    QVERIFY(QDir().mkpath(applications));
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QString iconPath = m_dir->filePath(QStringLiteral("editor.png"));
    QVERIFY(red.save(iconPath));
    QFile entry(applications + QStringLiteral("/org.example.Editor.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Editor\nIcon=" + iconPath.toUtf8() + "\n");
    entry.close();
    DesktopEntryIndex::shared().invalidate();

    RunningApplication running = runningApp("Editor", QStringLiteral("org.example.Editor"));
    running.icon = QImage(16, 16, QImage::Format_ARGB32);
    running.icon.fill(Qt::blue);
    const auto icon = AppIconView::lookUpIcon(QStringLiteral("org.example.Editor"), {running});
    QVERIFY(icon);
    QCOMPARE(icon->pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    // Without the entry, the running application's own icon.
    QVERIFY(entry.remove());
    DesktopEntryIndex::shared().invalidate();
    const auto fallback = AppIconView::lookUpIcon(QStringLiteral("org.example.Editor"), {running});
    QVERIFY(fallback);
    QCOMPARE(fallback->pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::blue));
}

void RuleListTest::runningAppsAreRegularAndSorted()
{
    using Policy = RunningApplication::ActivationPolicy;
    m_services->running = {
        runningApp("zed", QStringLiteral("zed")),
        runningApp("Alpha", QStringLiteral("alpha")),
        runningApp("Tray", QStringLiteral("tray"), Policy::Accessory),
        runningApp("beta", QStringLiteral("beta")),
        runningApp("", QStringLiteral("nameless")),
        runningApp("Daemon", QStringLiteral("daemon"), Policy::Prohibited),
        runningApp("Émile", QStringLiteral("emile")),
    };
    AddRuleView sheet(m_services->engine(), m_services->inputSources());
    QStringList order;
    for (const RunningApplication& app : sheet.runningApps())
        order.append(app.bundleIdentifier.value_or(QString()));
    // Missing name first, capitals before lower case, no locale collation.
    QCOMPARE(order, (QStringList{"nameless", "alpha", "beta", "zed", "emile"}));
    QCOMPARE(sheet.runningAppsPicker()->itemText(0), QStringLiteral("Select Running App"));
    QCOMPARE(sheet.runningAppsPicker()->itemText(1), QStringLiteral("Unknown"));
    QCOMPARE(sheet.runningAppsPicker()->count(), 6);
    QCOMPARE(sheet.inputSourcePicker()->itemText(0), QStringLiteral("Select Input Source"));
    QCOMPARE(sheet.inputSourcePicker()->count(), 4);
}

void RuleListTest::addButtonEnabling_data()
{
    QTest::addColumn<bool>("pickApp");
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("nothing") << false << false << "" << false;
    QTest::newRow("app only") << true << false << "" << false;
    QTest::newRow("source only") << false << false << "xkb:de" << false;
    QTest::newRow("app and source") << true << false << "xkb:de" << true;
    QTest::newRow("file and source") << false << true << "xkb:ru" << true;
    QTest::newRow("file only") << false << true << "" << false;
}

void RuleListTest::addButtonEnabling()
{
    QFETCH(bool, pickApp);
    QFETCH(bool, chooseFile);
    QFETCH(QString, source);
    QFETCH(bool, enabled);
    m_services->running = {runningApp("Kitty", QStringLiteral("kitty"))};
    AddRuleView sheet(m_services->engine(), m_services->inputSources());
    QVERIFY(!sheet.addButton()->isEnabled());
    if (pickApp)
        sheet.selectRunningApp(0);
    if (chooseFile)
        sheet.handleChosenFiles({writeEntry("org.gnome.gedit.desktop", "[Desktop Entry]\nType=Application\nName=Text Editor\n")});
    if (!source.isEmpty())
        sheet.selectInputSource(source);
    QCOMPARE(sheet.addButton()->isEnabled(), enabled);
    QCOMPARE(sheet.canAdd(), enabled);

    sheet.addRule();
    QCOMPARE(m_services->engine().rules().size(), enabled ? 1 : 0);
    if (enabled) {
        const AppRule rule = m_services->engine().rules().first();
        QCOMPARE(rule.appBundleID, pickApp ? QStringLiteral("kitty") : QStringLiteral("org.gnome.gedit"));
        QCOMPARE(rule.appName, pickApp ? QStringLiteral("Kitty") : QStringLiteral("Text Editor"));
        QCOMPARE(rule.targetInputSourceID, source);
        QVERIFY(rule.isEnabled);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
    }
}

void RuleListTest::choosingOnDiskAndRunningAppsExcludeEachOther()
{
    m_services->running = {runningApp("Kitty", QStringLiteral("kitty"))};
    AddRuleView sheet(m_services->engine(), m_services->inputSources());
    sheet.show();
    sheet.selectRunningApp(0);
    QVERIFY(sheet.selectedApp());

    sheet.handleChosenFiles({writeEntry("firefox.desktop", "[Desktop Entry]\nType=Application\nName=Firefox\n")});
    QVERIFY(!sheet.selectedApp());
    QCOMPARE(sheet.runningAppsPicker()->currentText(), QStringLiteral("Select Running App"));
    QCOMPARE(sheet.manualBundleID(), std::optional<QString>(QStringLiteral("firefox")));
    QVERIFY(sheet.manualRow()->isVisible());
    QCOMPARE(sheet.manualRow()->text(), QStringLiteral("Selected: Firefox"));

    sheet.selectRunningApp(0);
    QVERIFY(sheet.selectedApp());
    QVERIFY(!sheet.manualAppName());
    QVERIFY(!sheet.manualBundleID());
    QVERIFY(!sheet.manualRow()->isVisible());

    // A refused file leaves the running-app choice alone.
    sheet.handleChosenFiles({writeEntry("notes.txt", "hello")});
    QVERIFY(sheet.selectedApp());
    QVERIFY(!sheet.manualBundleID());
}

void RuleListTest::chosenFileIsRefused_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    const QByteArray valid = "[Desktop Entry]\nType=Application\nName=Editor\n";
    QTest::newRow("capital extension") << "editor.DESKTOP" << valid << "Please choose a .desktop application entry.";
    QTest::newRow("mac bundle") << "Editor.app" << valid << "Please choose a .desktop application entry.";
    QTest::newRow("no extension") << "editor" << valid << "Please choose a .desktop application entry.";
    QTest::newRow("link entry") << "site.desktop" << QByteArray("[Desktop Entry]\nType=Link\nName=Site\nURL=https://x\n")
                                << "The chosen file is not an application entry.";
    QTest::newRow("no entry group") << "junk.desktop" << QByteArray("\x01\x02 not an entry")
                                    << "The chosen file is not an application entry.";
    QTest::newRow("nameless file") << ".desktop" << valid << "The chosen file is not an application entry.";
}

void RuleListTest::chosenFileIsRefused()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    AddRuleView sheet(m_services->engine(), m_services->inputSources());
    sheet.show();
    sheet.handleChosenFiles({writeEntry(fileName, contents)});
    QCOMPARE(sheet.errorMessage(), std::optional<QString>(message));
    QVERIFY(sheet.errorAlert());
    QCOMPARE(sheet.errorAlert()->windowTitle(), QStringLiteral("Error"));
    QCOMPARE(sheet.errorAlert()->text(), message);
    QVERIFY(!sheet.manualBundleID());
    QVERIFY(!sheet.addButton()->isEnabled());
}

void RuleListTest::chosenEntryName_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("name");
    const QByteArray both = "[Desktop Entry]\nType=Application\nName=Text Editor\nName[ja]=テキストエディター\n";
    QTest::newRow("localized name") << "ja" << both << "テキストエディター";
    QTest::newRow("plain name") << "de" << both << "Text Editor";
    QTest::newRow("file name") << "en" << QByteArray("[Desktop Entry]\nType=Application\nExec=gedit\n")
                               << "org.gnome.gedit";
}

void RuleListTest::chosenEntryName()
{
    QFETCH(QString, language);
    QFETCH(QByteArray, contents);
    QFETCH(QString, name);
    m_services->localization->setLanguage(language, false);
    AddRuleView sheet(m_services->engine(), m_services->inputSources());
    sheet.handleChosenFiles({writeEntry("org.gnome.gedit.desktop", contents)});
    QCOMPARE(sheet.manualBundleID(), std::optional<QString>(QStringLiteral("org.gnome.gedit")));
    QCOMPARE(sheet.manualAppName(), std::optional<QString>(name));
    QVERIFY(!sheet.errorMessage());
    m_services->localization->setLanguage(QStringLiteral("system"), false);
}

void RuleListTest::runningAppWithoutIdentifierAddsNothing()
{
    m_services->running = {runningApp("Mystery", std::nullopt)};
    AddRuleView sheet(m_services->engine(), m_services->inputSources());
    sheet.show();
    sheet.selectRunningApp(0);
    sheet.selectInputSource(QStringLiteral("xkb:us"));
    QVERIFY(sheet.addButton()->isEnabled());
    QTest::mouseClick(sheet.addButton(), Qt::LeftButton);
    QVERIFY(m_services->engine().rules().isEmpty());
    QVERIFY(sheet.isVisible());
}

void RuleListTest::addingForAnExistingAppReplacesItInPlace()
{
    m_services->engine().addRule(makeRule("a", "xkb:us"));
    m_services->engine().addRule(makeRule("kitty", "xkb:us", false));
    m_services->engine().addRule(makeRule("c", "xkb:us"));
    const QUuid oldID = m_services->engine().rules().at(1).id;
    m_services->running = {runningApp("Kitty Terminal", QStringLiteral("kitty"))};
    AddRuleView sheet(m_services->engine(), m_services->inputSources());
    sheet.selectRunningApp(0);
    sheet.selectInputSource(QStringLiteral("xkb:ru"));
    sheet.addRule();
    const QList<AppRule> rules = m_services->engine().rules();
    QCOMPARE(bundleIDs(rules), (QStringList{"a", "kitty", "c"}));
    QVERIFY(rules.at(1).id != oldID);
    QCOMPARE(rules.at(1).appName, QStringLiteral("Kitty Terminal"));
    QCOMPARE(rules.at(1).targetInputSourceID, QStringLiteral("xkb:ru"));
    QVERIFY(rules.at(1).isEnabled);
}

void RuleListTest::editSheetLoadsAndSaves_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("newSource");
    QTest::addColumn<bool>("toggle");
    QTest::newRow("unchanged enabled") << true << "" << false;
    QTest::newRow("unchanged disabled") << false << "" << false;
    QTest::newRow("new source") << true << "xkb:ru" << false;
    QTest::newRow("switched on") << false << "" << true;
}

void RuleListTest::editSheetLoadsAndSaves()
{
    QFETCH(bool, enabled);
    QFETCH(QString, newSource);
    QFETCH(bool, toggle);
    m_services->engine().addRule(makeRule("a", "xkb:us"));
    m_services->engine().addRule(makeRule("b", "xkb:de", enabled));
    const AppRule original = m_services->engine().rules().at(1);
    EditRuleView sheet(m_services->engine(), m_services->inputSources(), original);
    sheet.show();
    QCOMPARE(sheet.selectedInputSourceID(), QStringLiteral("xkb:de"));
    QCOMPARE(sheet.enabledToggle()->isChecked(), enabled);
    QCOMPARE(sheet.inputSourcePicker()->count(), 3); // no placeholder row

    if (!newSource.isEmpty())
        sheet.inputSourcePicker()->setCurrentIndex(sheet.inputSourcePicker()->findData(newSource));
    if (toggle)
        QTest::keyClick(sheet.enabledToggle(), Qt::Key_Space);
    QTest::mouseClick(sheet.saveButton(), Qt::LeftButton);

    AppRule expected = original;
    if (!newSource.isEmpty())
        expected.targetInputSourceID = newSource;
    expected.isEnabled = toggle ? !enabled : enabled;
    QCOMPARE(m_services->engine().rules().size(), 2);
    QCOMPARE(m_services->engine().rules().at(1), expected);
    QCOMPARE(m_services->engine().rules().at(0).appBundleID, QStringLiteral("a"));
}

void RuleListTest::editSheetKeepsAMissingTarget()
{
    m_services->engine().addRule(makeRule("b", "xkb:gone"));
    const AppRule original = m_services->engine().rules().first();
    EditRuleView sheet(m_services->engine(), m_services->inputSources(), original);
    QCOMPARE(sheet.selectedInputSourceID(), QStringLiteral("xkb:gone"));
    QVERIFY(sheet.saveButton()->isEnabled());
    sheet.save();
    QCOMPARE(m_services->engine().rules().first(), original);
}

void RuleListTest::editSheetDeletesAndCancels()
{
    m_services->engine().addRule(makeRule("a", "xkb:us"));
    m_services->engine().addRule(makeRule("b", "xkb:de"));
    {
        EditRuleView sheet(m_services->engine(), m_services->inputSources(), m_services->engine().rules().at(0));
        sheet.inputSourcePicker()->setCurrentIndex(2);
        QTest::mouseClick(sheet.cancelButton(), Qt::LeftButton);
        QCOMPARE(m_services->engine().rules().at(0).targetInputSourceID, QStringLiteral("xkb:us"));
    }
    EditRuleView sheet(m_services->engine(), m_services->inputSources(), m_services->engine().rules().at(0));
    QTest::mouseClick(sheet.deleteButton(), Qt::LeftButton);
    QCOMPARE(bundleIDs(m_services->engine().rules()), QStringList{"b"});
    QCOMPARE(sheet.result(), int(QDialog::Accepted));
}

TOLVANE_TEST_MAIN(RuleListTest)
#include "RuleListTest.moc"
