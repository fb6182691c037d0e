#include "core/InputSourceManager.h"
#include "support/FakeInputSourceProvider.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

class InputSourceManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsACatalogueAndAsksTheSystemAfresh()
    {
        RecordingLogSink log;
        FakeInputSourceProvider provider;
        const InputSourceProperties german =
            InputSourceProperties::of(QStringLiteral("xkb:de"), QStringLiteral("German"));
        provider.sources = QList<InputSourceProperties>{
            InputSourceProperties::of(QStringLiteral("im:container"), QStringLiteral("IM"), false),
            InputSourceProperties::of(QStringLiteral("im:mode"), QStringLiteral("Mode"), true),
            german,
            {.id = QStringLiteral("xkb:ru"), .iconUrl = QUrl(QStringLiteral("file:///icons/ru.png"))},
            {.localizedName = QStringLiteral("Ghost")},
        };
        InputSourceManager manager(&provider);
        const QList<InputSource> expected = {
            {QStringLiteral("im:mode"), QStringLiteral("Mode"), std::nullopt},
            {QStringLiteral("xkb:de"), QStringLiteral("German"), std::nullopt},
            {QStringLiteral("xkb:ru"), QStringLiteral("Unknown"), QUrl(QStringLiteral("file:///icons/ru.png"))},
        };
        QCOMPARE(manager.installedInputSources(), expected);
        QCOMPARE(manager.displayName(QStringLiteral("xkb:fr")), QStringLiteral("xkb:fr"));

        // Selecting the current source still asks the system; a source disabled
        // since the catalogue was built is refused although the catalogue lists it.
        provider.sources = QList<InputSourceProperties>{german};
        provider.current = german;
        QVERIFY(manager.selectInputSource(QStringLiteral("xkb:de")));
        QCOMPARE(provider.selections, QStringList{QStringLiteral("xkb:de")});
        QVERIFY(!manager.selectInputSource(QStringLiteral("im:mode")));
        QCOMPARE(manager.installedInputSources(), expected);

        // The provider's notice of a changed list rebuilds the catalogue; a list it
        // cannot give keeps the old one.
        QSignalSpy changed(&manager, &InputSourceManager::installedInputSourcesChanged);
        Q_EMIT provider.enabledInputSourcesChanged();
        QCOMPARE(manager.installedInputSources(), QList<InputSource>{expected.at(1)});
        QCOMPARE(changed.size(), 1);
        provider.sources = std::nullopt;
        Q_EMIT provider.enabledInputSourcesChanged();
        QCOMPARE(manager.installedInputSources().size(), 1);
        QCOMPARE(log.lines(),
                 (QStringList{"info: Loaded 3 input sources", "info: Loaded 1 input sources",
                              "error: Failed to get input source list"}));

        // The current source is reported even when the catalogue does not list it.
        provider.current = InputSourceProperties{.id = QStringLiteral("xkb:jp")};
        QCOMPARE(
            manager.currentInputSource(),
            std::optional<InputSource>(InputSource{QStringLiteral("xkb:jp"), QStringLiteral("Unknown"), std::nullopt}));

        InputSourceManager withoutProvider(nullptr);
        QVERIFY(withoutProvider.installedInputSources().isEmpty());
        QVERIFY(!withoutProvider.selectInputSource(QStringLiteral("xkb:us")));
    }
};

TOLVANE_TEST_GUILESS_MAIN(InputSourceManagerTest)
#include "InputSourceManagerTest.moc"
