#include "commandline.h"
#include "filedialog.h"
#include "guardedapplication.h"
#include "helpviewer.h"
#include "memorysettingsstore.h"
#include "messageboxes.h"
#include "checkedmath.h"
#include "workarea.h"
#include "processexit.h"
#include "program.h"
#include "recentfiles.h"

#include <QTest>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace
{
struct NoDialog : FileDialog {
    std::optional<QString> getOpenFileName(const FileDialogRequest&) override { return std::nullopt; }
};
struct NoHelp : HelpViewer {
    void showContents(const QString&) override {}
};
struct RecordingMessageBoxes : MessageBoxes {
    void show(const QString& title, const QString& text, MessageIcon icon) override { shown.append({title, text, icon}); }
    QList<std::tuple<QString, QString, MessageIcon>> shown;
};
struct RecordingExit : ProcessExit {
    void exitProcess(int code) override { exitCode = code; }
    int exitCode = -1;
};
struct NoScreen : WorkAreaSource {
    QRect workArea() const override { return {}; }
    QRect screenArea() const override { return {}; }
    TwipsMapping twips() const override { return {}; }
};

class Throwing : public QWidget
{
public:
    std::function<void()> thrower;

protected:
    void mouseReleaseEvent(QMouseEvent*) override { thrower(); }
};
} // namespace

// The command line, the recent-files list, and an error nobody trapped, thrown from inside an event handler:
// it is reported and ends the program instead of unwinding through Qt's event loop.
class TestApp : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void recentFiles_data();
    void recentFiles();
    void untrappedErrorReportedThenEnded_data();
    void untrappedErrorReportedThenEnded();
};

void TestApp::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mapFile");
    QTest::addColumn<QString>("error");
    // None, a relative and an absolute path: the black-box scenarios start so.
    QTest::newRow("cleaned") << QStringList{"x/../a b.gif"} << "/work/a b.gif" << "";
    QTest::newRow("after --") << QStringList{"--", "-a.gif"} << "/work/-a.gif" << "";
    QTest::newRow("unknown option") << QStringList{"a.gif", "--full"} << "" << "unknown option --full";
    QTest::newRow("two maps") << QStringList{"a.gif", "b.gif"} << "" << "one map at a time, not 2";
}

void TestApp::commandLine()
{
    QFETCH(QStringList, arguments);
    const CommandLine line = ReadCommandLine(arguments, "/work");
    QTEST(line.mapFile, "mapFile");
    QTEST(line.error, "error");
}

void TestApp::recentFiles_data()
{
    QTest::addColumn<QStringList>("stored"); // File1, File2, ...; "-" for an absent key
    QTest::addColumn<QString>("mapFile");
    QTest::addColumn<int>("maxMRU");
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<QStringList>("storedAfter"); // "refused": the store refuses the write
    const auto row = [](const char* name, QStringList stored, QString mapFile, QStringList menu,
                        std::optional<QStringList> storedAfter = {}, int maxMRU = 9) {
        QTest::newRow(name) << stored << mapFile << maxMRU << menu << storedAfter.value_or(menu);
    };
    const QStringList AtoI{"A", "B", "C", "D", "E", "F", "G", "H", "I"}, A9(9, "A");
    row("new map on top", {"A", "B", "C"}, "D", {"D", "A", "B", "C"});
    row("stored map moves to the top", {"A", "B", "C"}, "B", {"B", "A", "C"});
    row("full list drops the oldest", AtoI, "J", {"J", "A", "B", "C", "D", "E", "F", "G", "H"});
    row("a gap ends the list, later keys stay", {"A", "-", "C"}, "D", {"D", "A"}, {{"D", "A", "C"}});
    row("an empty value ends it too", {"A", "", "C"}, "D", {"D", "A"}, {{"D", "A", "C"}});
    row("letter case counts", {"C:\\Maps\\Walk.gif"}, "C:\\Maps\\walk.gif", {"C:\\Maps\\walk.gif", "C:\\Maps\\Walk.gif"});
    row("every copy left out", {"A", "X", "A", "B"}, "A", {"A", "X", "B"}, {{"A", "X", "B", "B"}});
    row("copies only, read past File9", A9, "A", {"A"}, A9);
    row("smaller capacity", {"A", "B", "C"}, "D", {"D", "A", "B"}, {}, 3);
    row("refused write: the menu changes, the store not", {"A", "B"}, "C", {"C", "A", "B"}, {{"refused"}});
}

void TestApp::recentFiles()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, mapFile);
    QFETCH(int, maxMRU);
    QFETCH(QStringList, storedAfter);
    MemorySettingsStore store;
    for (int k = 0; k < stored.size(); ++k)
        if (stored[k] != "-")
            store.entries[QString("File%1").arg(k + 1)] = stored[k];
    store.readOnly = storedAfter == QStringList{"refused"};
    RecentFiles list(store);
    QCOMPARE(list.UpdateMRUList(mapFile, maxMRU), !store.readOnly);
    QTEST(list.captions(), "menu");
    QCOMPARE(store.writes, 1); // keys 1 to n in one go
    if (store.readOnly)
        storedAfter = stored;
    QStringList after;
    for (int k = 1; k <= 10; ++k)
        after << store.value(QString("File%1").arg(k)).value_or("-");
    while (after.last() == "-")
        after.removeLast();
    QCOMPARE(after, storedAfter);
}

void TestApp::untrappedErrorReportedThenEnded_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("says");
    QTest::newRow("overflow") << 0 << "a number grew too large for it (overflow)";
    QTest::newRow("memory") << 1 << "it ran out of memory";
    QTest::newRow("other") << 2 << "an unexpected error (bad state)";
}

void TestApp::untrappedErrorReportedThenEnded()
{
    QFETCH(int, kind);
    QFETCH(QString, says);
    RecordingMessageBoxes messages;
    MemorySettingsStore store;
    NoDialog dialog;
    NoHelp help;
    RecordingExit exit;
    NoScreen screen;
    Program program(PlatformServices{messages, store, dialog, help, exit, screen});
    auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
    app->setUntrappedHandler([&program](const std::exception& e) { program.UntrappedError(e); });

    Throwing w;
    w.thrower = [kind] {
        if (kind == 0)
            (void)CheckedAdd32(INT32_MAX, 1);
        if (kind == 1)
            throw std::bad_alloc();
        throw std::runtime_error("bad state");
    };
    w.show();
    QTest::mouseClick(&w, Qt::LeftButton); // through the application's own delivery of the event

    QCOMPARE(exit.exitCode, 1);
    const QString text = "Mapwheel has to close: " + says +
                         ".\rYour settings and the list of recent maps are kept as they were.";
    QCOMPARE(messages.shown, (QList{std::tuple{QString("Mapwheel Run-time Error"), text, MessageIcon::Critical}}));
    QVERIFY(!w.isVisible());
    QVERIFY(store.entries.isEmpty() && store.writes == 0);
    app->setUntrappedHandler(nullptr);
}

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    TestApp test;
    const int failed = QTest::qExec(&test, argc, argv);
    // As the program does after such an error, end at once: the Qt frames the exceptions crossed were built
    // without clean-up code, so what they held is not freed, and a leak check at exit would list it.
    std::fflush(nullptr);
    std::_Exit(failed);
}

#include "tst_app.moc"
