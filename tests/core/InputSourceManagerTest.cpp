#include "core/InputSourceManager.h"
#include "support/FakeInputSourceProvider.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

class InputSourceManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buildsCatalogueFromSystemList();
    void reportsMissingSystemList();
    void displayNameFallsBackToIdentifier();
    void selectionAsksTheSystemAfresh();
    void currentSourceIsReportedEvenWhenNotInCatalogue();
};

void InputSourceManagerTest::buildsCatalogueFromSystemList()
{
    RecordingLogSink log;
    FakeInputSourceProvider provider;
    InputSourceProperties container = FakeInputSourceProvider::source(QStringLiteral("im:container"), QStringLiteral("IM"));
    container.isSelectCapable = false;
    InputSourceProperties mode = FakeInputSourceProvider::source(QStringLiteral("im:mode"), QStringLiteral("Mode"));
    mode.isSelectCapable = true;
    InputSourceProperties unstated = FakeInputSourceProvider::source(QStringLiteral("xkb:de"), QStringLiteral("German"));
    InputSourceProperties nameless;
    nameless.id = QStringLiteral("xkb:ru");
    nameless.iconUrl = QUrl(QStringLiteral("file:///icons/ru.png"));
    InputSourceProperties withoutId;
    withoutId.localizedName = QStringLiteral("Ghost");
    provider.sources = QList<InputSourceProperties>{container, mode, unstated, nameless, withoutId};

    InputSourceManager manager(&provider);
    const QList<InputSource> expected = {
        {QStringLiteral("im:mode"), QStringLiteral("Mode"), std::nullopt},
        {QStringLiteral("xkb:de"), QStringLiteral("German"), std::nullopt},
        {QStringLiteral("xkb:ru"), QStringLiteral("Unknown"), QUrl(QStringLiteral("file:///icons/ru.png"))},
    };
    QCOMPARE(manager.installedInputSources(), expected);
    QCOMPARE(log.lines(), QStringList{QStringLiteral("info: Loaded 3 input sources")});

    provider.sources = QList<InputSourceProperties>{};
    log.clear();
    manager.loadInputSources();
    QVERIFY(manager.installedInputSources().isEmpty());
    QCOMPARE(log.lines(), QStringList{QStringLiteral("info: Loaded 0 input sources")});
}

void InputSourceManagerTest::reportsMissingSystemList()
{
    RecordingLogSink log;
    FakeInputSourceProvider provider;
    provider.sources = QList<InputSourceProperties>{FakeInputSourceProvider::source(QStringLiteral("xkb:us"), QStringLiteral("English"))};
    InputSourceManager manager(&provider);
    log.clear();
    provider.sources = std::nullopt;
    manager.loadInputSources();
    QCOMPARE(log.lines(), QStringList{QStringLiteral("error: Failed to get input source list")});
    QCOMPARE(manager.installedInputSources().size(), 1);

    InputSourceManager withoutProvider(nullptr);
    QVERIFY(withoutProvider.installedInputSources().isEmpty());
    QVERIFY(!withoutProvider.selectInputSource(QStringLiteral("xkb:us")));
}

void InputSourceManagerTest::displayNameFallsBackToIdentifier()
{
    FakeInputSourceProvider provider;
    provider.sources = QList<InputSourceProperties>{FakeInputSourceProvider::source(QStringLiteral("xkb:de"), QStringLiteral("German"))};
    InputSourceManager manager(&provider);
    provider.sources->first().localizedName = QStringLiteral("Deutsch");
    QCOMPARE(manager.displayName(QStringLiteral("xkb:de")), QStringLiteral("German"));
    QCOMPARE(manager.displayName(QStringLiteral("xkb:fr")), QStringLiteral("xkb:fr"));
}

void InputSourceManagerTest::selectionAsksTheSystemAfresh()
{
    FakeInputSourceProvider provider;
    provider.sources = QList<InputSourceProperties>{FakeInputSourceProvider::source(QStringLiteral("xkb:us"), QStringLiteral("English")),
                                                    FakeInputSourceProvider::source(QStringLiteral("xkb:de"), QStringLiteral("German"))};
    provider.current = provider.sources->first();
    InputSourceManager manager(&provider);

    // Selecting the current source still asks the system.
    QVERIFY(manager.selectInputSource(QStringLiteral("xkb:us")));
    QCOMPARE(provider.selections, QStringList{QStringLiteral("xkb:us")});

    // A source disabled since start is refused although the catalogue lists it.
    provider.sources->removeLast();
    QVERIFY(!manager.selectInputSource(QStringLiteral("xkb:de")));
    QCOMPARE(manager.installedInputSources().size(), 2);

    provider.refuseSelection = true;
    QVERIFY(!manager.selectInputSource(QStringLiteral("xkb:us")));

    provider.sources = QList<InputSourceProperties>{};
    QVERIFY(!manager.selectInputSource(QStringLiteral("xkb:us")));
}

void InputSourceManagerTest::currentSourceIsReportedEvenWhenNotInCatalogue()
{
    FakeInputSourceProvider provider;
    InputSourceManager manager(&provider);
    QVERIFY(!manager.currentInputSource());
    InputSourceProperties current;
    current.id = QStringLiteral("xkb:jp");
    provider.current = current;
    const auto reported = manager.currentInputSource();
    QVERIFY(reported);
    QCOMPARE(reported->id, QStringLiteral("xkb:jp"));
    QCOMPARE(reported->name, QStringLiteral("Unknown"));
}

TOLVANE_TEST_GUILESS_MAIN(InputSourceManagerTest)
#include "InputSourceManagerTest.moc"
