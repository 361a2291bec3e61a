#include "memorysettingsstore.h"
#include "recentfiles.h"

#include <QAction>
#include <QKeySequence>
#include <QTest>

// Stores are written as lists for File1, File2, ...; "-" stands for an absent key.
static void fill(MemorySettingsStore& store, const QStringList& list)
{
    for (int k = 0; k < list.size(); ++k)
        if (list[k] != "-")
            store.entries[RecentFiles::Key(k + 1)] = list[k];
}

static QStringList dump(const MemorySettingsStore& store)
{
    QStringList list;
    for (int k = 1; k <= 10; ++k)
        list << store.value(RecentFiles::Key(k)).value_or("-");
    while (!list.isEmpty() && list.last() == "-")
        list.removeLast();
    return list;
}

class TestRecentFiles : public QObject
{
    Q_OBJECT
private slots:
    void keys();
    void update_data();
    void update();
    void refusedWrite();
    void menuTextShowsAmpersands_data();
    void menuTextShowsAmpersands();
};

void TestRecentFiles::keys()
{
    QCOMPARE(RecentFiles::Key(1), QString("File1"));
    QCOMPARE(RecentFiles::Key(9), QString("File9"));
}

void TestRecentFiles::update_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("mapFile");
    QTest::addColumn<int>("maxMRU");
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<QStringList>("storedAfter");

    const QStringList AtoI{"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    QTest::newRow("new map goes on top")
        << QStringList{"A", "B", "C"} << "D" << 9 << QStringList{"D", "A", "B", "C"}
        << QStringList{"D", "A", "B", "C"};
    QTest::newRow("stored map moves to top")
        << QStringList{"A", "B", "C"} << "B" << 9 << QStringList{"B", "A", "C"} << QStringList{"B", "A", "C"};
    QTest::newRow("full list drops the oldest")
        << AtoI << "J" << 9 << QStringList{"J", "A", "B", "C", "D", "E", "F", "G", "H"}
        << QStringList{"J", "A", "B", "C", "D", "E", "F", "G", "H"};
    QTest::newRow("full list, stored map moves, nothing dropped")
        << AtoI << "E" << 9 << QStringList{"E", "A", "B", "C", "D", "F", "G", "H", "I"}
        << QStringList{"E", "A", "B", "C", "D", "F", "G", "H", "I"};
    QTest::newRow("gap ends the list, later key untouched")
        << QStringList{"A", "-", "C"} << "D" << 9 << QStringList{"D", "A"} << QStringList{"D", "A", "C"};
    QTest::newRow("empty value ends the list like an absent key")
        << QStringList{"A", "", "C"} << "D" << 9 << QStringList{"D", "A"} << QStringList{"D", "A", "C"};
    QTest::newRow("letter case makes different entries")
        << QStringList{"C:\\Maps\\Walk.gif", "C:\\maps\\walk.gif"} << "C:\\Maps\\walk.gif" << 9
        << QStringList{"C:\\Maps\\walk.gif", "C:\\Maps\\Walk.gif", "C:\\maps\\walk.gif"}
        << QStringList{"C:\\Maps\\walk.gif", "C:\\Maps\\Walk.gif", "C:\\maps\\walk.gif"};
    QTest::newRow("fresh store holds only the open map")
        << QStringList{} << "A" << 9 << QStringList{"A"} << QStringList{"A"};
    QTest::newRow("reopening the newest moves nothing")
        << QStringList{"A", "B", "C"} << "A" << 9 << QStringList{"A", "B", "C"} << QStringList{"A", "B", "C"};
    QTest::newRow("every stored copy is left out, the key after n stays")
        << QStringList{"A", "X", "A", "B"} << "A" << 9 << QStringList{"A", "X", "B"}
        << QStringList{"A", "X", "B", "B"};
    QTest::newRow("only copies of the open map")
        << QStringList{"A", "A"} << "A" << 9 << QStringList{"A"} << QStringList{"A", "A"};
    QTest::newRow("full list of the open map reads past File9")
        << QStringList{"A", "A", "A", "A", "A", "A", "A", "A", "A"} << "A" << 9 << QStringList{"A"}
        << QStringList{"A", "A", "A", "A", "A", "A", "A", "A", "A"};
    QTest::newRow("smaller capacity")
        << QStringList{"A", "B", "C"} << "D" << 3 << QStringList{"D", "A", "B"} << QStringList{"D", "A", "B"};
    QTest::newRow("unix paths with ampersand kept as they are")
        << QStringList{"/home/ann/R&D/a.gif"} << "/home/ann/maps/b.jpg" << 9
        << QStringList{"/home/ann/maps/b.jpg", "/home/ann/R&D/a.gif"}
        << QStringList{"/home/ann/maps/b.jpg", "/home/ann/R&D/a.gif"};
}

void TestRecentFiles::update()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, mapFile);
    QFETCH(int, maxMRU);
    QFETCH(QStringList, menu);
    QFETCH(QStringList, storedAfter);

    MemorySettingsStore store;
    fill(store, stored);
    RecentFiles list(store);
    QVERIFY(list.UpdateMRUList(mapFile, maxMRU));
    QCOMPARE(list.captions(), menu);
    QCOMPARE(dump(store), storedAfter);
    QCOMPARE(store.writes, 1); // keys 1 to n in one go
}

void TestRecentFiles::refusedWrite()
{
    MemorySettingsStore store;
    fill(store, {"A", "B"});
    store.readOnly = true;
    RecentFiles list(store);
    QVERIFY(!list.UpdateMRUList("C", 9));
    QCOMPARE(list.captions(), (QStringList{"C", "A", "B"}));
    QCOMPARE(dump(store), (QStringList{"A", "B"}));
}

void TestRecentFiles::menuTextShowsAmpersands_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "C:\\Maps\\walk.gif"
                           << "C:\\Maps\\walk.gif";
    QTest::newRow("one ampersand") << "C:\\R&D\\walk.gif"
                                   << "C:\\R&&D\\walk.gif";
    QTest::newRow("two together") << "/maps/a&&b.gif"
                                  << "/maps/a&&&&b.gif";
    QTest::newRow("at the end") << "/maps/x&"
                                << "/maps/x&&";
}

void TestRecentFiles::menuTextShowsAmpersands()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QCOMPARE(MenuTextFor(path), text);
    // No mnemonic comes out of it, and what a menu shows of it is the path itself.
    QVERIFY(QKeySequence::mnemonic(MenuTextFor(path)).isEmpty());
    QAction action(MenuTextFor(path));
    QCOMPARE(action.iconText(), path);
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
