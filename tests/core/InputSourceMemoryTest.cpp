#include "core/InputSourceMemory.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace std::chrono_literals;

class InputSourceMemoryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // A run of changes is one write, a change of recency alone none.
    void writesAtMostOncePerDelay()
    {
        const QString path = m_dir->filePath(QStringLiteral("memory.json"));
        InputSourceMemory memory(path, 200ms);
        memory.remember("a", "xkb:de");
        memory.remember("b", "xkb:ru");
        memory.remember("a", "xkb:us");
        QVERIFY(!QFileInfo::exists(path));
        QTRY_VERIFY(QFileInfo::exists(path));
        const QDateTime written = QFileInfo(path).lastModified();
        QCOMPARE(InputSourceMemory(path).inputSource("a"), std::optional<QString>("xkb:us"));

        memory.remember("b", "xkb:ru");
        QTest::qWait(400);
        QCOMPARE(QFileInfo(path).lastModified(), written);
        // ...but it is kept by the next write.
        QVERIFY(memory.save());
        QCOMPARE(
            tolvane::test::readFile(path),
            R"J({"applications":[{"appBundleID":"b","inputSourceID":"xkb:ru"},{"appBundleID":"a","inputSourceID":"xkb:us"}],"version":1})J");
    }

    void keepsTheMostRecentlyUsed()
    {
        const QString path = m_dir->filePath(QStringLiteral("memory.json"));
        // Entries that are not two names are skipped, and the first of an application wins.
        QVERIFY(tolvane::test::writeFile(path, R"J({"applications":[{"appBundleID":"x","inputSourceID":7},"junk",
                       {"appBundleID":"first","inputSourceID":"xkb:de"},{"appBundleID":"first","inputSourceID":"xkb:ru"}]})J"));
        {
            InputSourceMemory memory(path);
            QCOMPARE(memory.inputSource("x"), std::nullopt);
            QCOMPARE(memory.inputSource("first"), std::optional<QString>("xkb:de"));
            memory.remember("second", "xkb:us");
            for (int i = 0; i < InputSourceMemory::capacity() - 2; ++i)
                memory.remember(QStringLiteral("app%1").arg(i), "xkb:us");
            // Used again, "first" is no longer the oldest; "second" goes.
            memory.remember("first", "xkb:de");
            memory.remember("one too many", "xkb:us");
            QCOMPARE(memory.inputSource("second"), std::nullopt);
        }
        InputSourceMemory reread(path);
        QCOMPARE(reread.inputSource("first"), std::optional<QString>("xkb:de"));
        QCOMPARE(reread.inputSource("one too many"), std::optional<QString>("xkb:us"));
        QCOMPARE(reread.inputSource("app0"), std::optional<QString>("xkb:us"));
        QCOMPARE(reread.inputSource("second"), std::nullopt);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

TOLVANE_TEST_GUILESS_MAIN(InputSourceMemoryTest)
#include "InputSourceMemoryTest.moc"
