// The settings window's banner about desktop settings that undo Tolvane's switches.
#include "UiTestServices.h"

#include "base/Preferences.h"
#include "platform/DesktopConflictMonitor.h"
#include "platform/gnome/GnomeDesktopConflictMonitor.h"
#include "services/LocalizationManager.h"
#include "support/TestMain.h"
#include "ui/DesktopConflictBanner.h"
#include "ui/SettingsView.h"

#include <QPushButton>

namespace {

const char* const kAdvice = "Set the switching policy to Global.";

class FakeConflictMonitor : public DesktopConflictMonitor {
public:
    QList<DesktopConflict> conflicts() const override { return list; }
    void set(QList<DesktopConflict> conflicts)
    {
        list = std::move(conflicts);
        Q_EMIT conflictsChanged();
    }
    QList<DesktopConflict> list;
};

DesktopConflict conflict(const QString& key)
{
    DesktopConflict c;
    c.key = key;
    c.text = kAdvice;
    c.logMessage = QStringLiteral("advice");
    return c;
}

} // namespace

class DesktopConflictBannerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_services = std::make_unique<UiTestServices>();
        SettingsServices::current().desktopConflicts = [this] { return &m_monitor; };
        Preferences::remove(QString::fromLatin1(DesktopConflictBanner::kDismissedKey));
        m_monitor.list.clear();
    }
    void cleanup() { m_services.reset(); }

    void shownWhileTheSettingHolds()
    {
        // No monitor on this desktop: no banner.
        SettingsServices::current().desktopConflicts = {};
        {
            SettingsWindow window(*m_services, true);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(!window.conflictBanner()->isVisible());
        }

        SettingsServices::current().desktopConflicts = [this] { return &m_monitor; };
        m_monitor.list = {conflict(QStringLiteral("kde.kxkbrc.SwitchMode"))};
        SettingsWindow window(*m_services, true);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.conflictBanner()->isVisible());
        QCOMPARE(window.conflictBanner()->text(), QString::fromLatin1(kAdvice));
        // Above every page, not only the rules.
        window.showPage(SettingsView::GeneralSettings);
        QVERIFY(window.conflictBanner()->isVisible());

        // The user changed the setting while the window is open.
        m_monitor.set({});
        QVERIFY(!window.conflictBanner()->isVisible());
        m_monitor.set({conflict(QStringLiteral("kde.kxkbrc.SwitchMode"))});
        QVERIFY(window.conflictBanner()->isVisible());
    }

    // A setting is told once: Dismiss hides it for good, also after a restart. What stops
    // switching stays above it and cannot be dismissed.
    void dismissedOnceForGood()
    {
        DesktopConflict standing = conflict(QStringLiteral("gnome.shell-extension.disabled"));
        standing.text = "The extension is turned off.";
        standing.dismissable = false;
        m_monitor.list = {conflict(QStringLiteral("kde.kxkbrc.SwitchMode")), standing};
        {
            SettingsWindow window(*m_services, true);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.conflictBanner()->text(),
                     QStringLiteral("The extension is turned off.\n\n") + QString::fromLatin1(kAdvice));
            QTest::mouseClick(window.conflictBanner()->dismissButton(), Qt::LeftButton);
            QVERIFY(window.conflictBanner()->isVisible());
            QCOMPARE(window.conflictBanner()->text(), QStringLiteral("The extension is turned off."));
            QVERIFY(!window.conflictBanner()->dismissButton()->isVisible());
            m_monitor.set({conflict(QStringLiteral("kde.kxkbrc.SwitchMode"))});
            QVERIFY(!window.conflictBanner()->isVisible());
        }
        // A new window, as after a restart: still dismissed.
        SettingsWindow window(*m_services, true);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.conflictBanner()->isVisible());
        // Another setting is news again.
        m_monitor.set({conflict(QStringLiteral("kde.kxkbrc.SwitchMode")), conflict(QStringLiteral("other"))});
        QVERIFY(window.conflictBanner()->isVisible());
        QVERIFY(window.conflictBanner()->dismissButton()->isVisible());
    }

    // GNOME's issues with the command that puts each right, in the interface language.
    void gnomeIssuesNameTheirCommand()
    {
        using Gnome = GnomeDesktopConflictMonitor;
        const QString uuid = QStringLiteral("tolvane@kelvora.com");
        m_monitor.list = {Gnome::conflict(Gnome::Issue::shellExtensionDisabled, uuid)};
        SettingsWindow window(*m_services, true);
        QVERIFY(window.conflictBanner()->text().endsWith(QStringLiteral("gnome-extensions enable ") + uuid));
        m_monitor.set({Gnome::conflict(Gnome::Issue::shellExtensionNotLoaded, uuid),
                       Gnome::conflict(Gnome::Issue::perWindowInputSources)});
        m_services->localization->setLanguage(QStringLiteral("de"), false);
        QCoreApplication::processEvents();
        const QStringList paragraphs = window.conflictBanner()->text().split(QStringLiteral("\n\n"));
        QCOMPARE(paragraphs.size(), 2);
        QVERIFY(paragraphs.at(0).startsWith(QStringLiteral("GNOME Shell hat die Erweiterung")));
        QVERIFY(paragraphs.at(1).endsWith(QStringLiteral("per-window false")));
    }

private:
    std::unique_ptr<UiTestServices> m_services;
    FakeConflictMonitor m_monitor;
};

TOLVANE_TEST_MAIN(DesktopConflictBannerTest)
#include "DesktopConflictBannerTest.moc"
