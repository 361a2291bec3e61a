#include "memorysettingsstore.h"
#include "recentfiles.h"

#include <QAction>
#include <QKeySequence>
#include <QTest>

class TestRecentFiles : public QObject
{
    Q_OBJECT
private slots:
    void update_data();
    void update();
    void menuTextShowsAmpersands_data();
    void menuTextShowsAmpersands();
};

void TestRecentFiles::update_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("mapFile");
    QTest::addColumn<int>("maxMRU");
    QTest::addColumn<bool>("readOnly"); // the store refuses the write
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<QStringList>("storedAfter");
    const auto row = [](const char* name, QStringList stored, QString mapFile, QStringList menu,
                        std::optional<QStringList> storedAfter = {}, int maxMRU = 9, bool readOnly = false) {
        QTest::newRow(name) << stored << mapFile << maxMRU << readOnly << menu << storedAfter.value_or(menu);
    };
    const QStringList AtoI{"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    const QStringList A9(9, "A");
    row("new map goes on top", {"A", "B", "C"}, "D", {"D", "A", "B", "C"});
    row("stored map moves to top", {"A", "B", "C"}, "B", {"B", "A", "C"});
    row("full list drops the oldest", AtoI, "J", {"J", "A", "B", "C", "D", "E", "F", "G", "H"});
    row("full list, stored map moves, nothing dropped", AtoI, "E",
        {"E", "A", "B", "C", "D", "F", "G", "H", "I"});
    row("gap ends the list, later key untouched", {"A", "-", "C"}, "D", {"D", "A"}, {{"D", "A", "C"}});
    row("empty value ends the list like an absent key", {"A", "", "C"}, "D", {"D", "A"}, {{"D", "A", "C"}});
    row("letter case makes different entries", {"C:\\Maps\\Walk.gif", "C:\\maps\\walk.gif"},
        "C:\\Maps\\walk.gif", {"C:\\Maps\\walk.gif", "C:\\Maps\\Walk.gif", "C:\\maps\\walk.gif"});
    row("fresh store holds only the open map", {}, "A", {"A"});
    row("reopening the newest moves nothing", {"A", "B", "C"}, "A", {"A", "B", "C"});
    row("every stored copy is left out, the key after n stays", {"A", "X", "A", "B"}, "A", {"A", "X", "B"},
        {{"A", "X", "B", "B"}});
    row("only copies of the open map", {"A", "A"}, "A", {"A"}, {{"A", "A"}});
    row("full list of the open map reads past File9", A9, "A", {"A"}, A9);
    row("smaller capacity", {"A", "B", "C"}, "D", {"D", "A", "B"}, {}, 3);
    row("unix paths with ampersand kept as they are", {"/home/ann/R&D/a.gif"}, "/home/ann/maps/b.jpg",
        {"/home/ann/maps/b.jpg", "/home/ann/R&D/a.gif"});
    row("refused write: the menu still changes, the store does not", {"A", "B"}, "C", {"C", "A", "B"},
        {{"A", "B"}}, 9, true);
}

void TestRecentFiles::update()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, mapFile);
    QFETCH(int, maxMRU);
    QFETCH(bool, readOnly);
    QFETCH(QStringList, menu);
    QFETCH(QStringList, storedAfter);
    MemorySettingsStore store;
    for (int k = 0; k < stored.size(); ++k) // "-" stands for an absent key; the keys are File1, File2, ...
        if (stored[k] != "-")
            store.entries[QString("File%1").arg(k + 1)] = stored[k];
    store.readOnly = readOnly;
    RecentFiles list(store);
    QCOMPARE(list.UpdateMRUList(mapFile, maxMRU), !readOnly);
    QCOMPARE(list.captions(), menu);
    QCOMPARE(store.writes, 1); // keys 1 to n in one go
    QStringList after;
    for (int k = 1; k <= 10; ++k)
        after << store.value(QString("File%1").arg(k)).value_or("-");
    while (!after.isEmpty() && after.last() == "-")
        after.removeLast();
    QCOMPARE(after, storedAfter);
}

void TestRecentFiles::menuTextShowsAmpersands_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, QString path, QString text) {
        QTest::newRow(name) << path << text;
    };
    row("plain", "C:\\Maps\\walk.gif", "C:\\Maps\\walk.gif");
    row("one ampersand", "C:\\R&D\\walk.gif", "C:\\R&&D\\walk.gif");
    row("two together", "/maps/a&&b.gif", "/maps/a&&&&b.gif");
    row("at the end", "/maps/x&", "/maps/x&&");
}

void TestRecentFiles::menuTextShowsAmpersands()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QCOMPARE(MenuTextFor(path), text);
    // No mnemonic comes out of it, and what a menu shows of it is the path itself.
    QVERIFY(QKeySequence::mnemonic(text).isEmpty());
    QCOMPARE(QAction(text).iconText(), path);
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
