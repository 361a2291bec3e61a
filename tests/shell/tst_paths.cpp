#include "folderof.h"
#include "frmopenimg.h"

#include <QTest>

// Answers the dialog from a queue and keeps every request it was shown.
class ScriptedFileDialog : public FileDialog
{
public:
    std::optional<QString> getOpenFileName(const FileDialogRequest& request) override
    {
        requests.append(request);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
    int selectedFilterIndex() const override { return filterOnClose; }
    QList<FileDialogRequest> requests;
    QList<std::optional<QString>> answers;
    int filterOnClose = 0;
};

class TestPaths : public QObject
{
    Q_OBJECT
private slots:
    void folderOf_data();
    void folderOf();
    void initialFolder_data();
    void initialFolder();
    void helpFile();
    void dialogConfiguredOnce();
    void fileNameEmptyEveryOpen();
    void userChoicesCarryOver();
};

void TestPaths::folderOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::newRow("drive and folder") << "C:\\Maps\\walk.gif"
                                      << "C:\\Maps";
    QTest::newRow("drive only") << "C:\\walk.gif"
                                << "C:";
    QTest::newRow("bare name") << "walk.gif"
                               << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("unix path") << "/home/ann/maps/walk.gif"
                               << "/home/ann/maps";
    QTest::newRow("root") << "/walk.gif"
                          << "";
    QTest::newRow("mixed, slash last") << "C:\\Maps/walk.gif"
                                       << "C:\\Maps";
    QTest::newRow("mixed, backslash last") << "/home/ann\\walk.gif"
                                           << "/home/ann";
    QTest::newRow("trailing separator") << "D:\\Walks\\"
                                        << "D:\\Walks";
    QTest::newRow("spaces kept") << "D:\\Walks\\Sheet 12.jpg"
                                 << "D:\\Walks";
}

void TestPaths::folderOf()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QCOMPARE(FolderOf(path), folder);
}

void TestPaths::initialFolder_data()
{
    QTest::addColumn<QString>("file1");
    QTest::addColumn<QString>("startDir");
    QTest::addColumn<QString>("folder");
    QTest::newRow("no File1, windows start dir") << ""
                                                 << "C:\\Program Files\\Tool"
                                                 << "C:\\Program Files\\Tool/Maps";
    QTest::newRow("no File1") << ""
                              << "/home/ann/mapwheel"
                              << "/home/ann/mapwheel/Maps";
    QTest::newRow("no File1, start dir with separator") << ""
                                                        << "/"
                                                        << "//Maps";
    QTest::newRow("File1 with folder") << "D:\\Walks\\Sheet 12.jpg"
                                       << "/home/ann"
                                       << "D:\\Walks";
    QTest::newRow("File1 unix") << "/home/ann/maps/walk.gif"
                                << "/opt"
                                << "/home/ann/maps";
    QTest::newRow("File1 bare name") << "walk.gif"
                                     << "/home/ann"
                                     << "";
}

void TestPaths::initialFolder()
{
    QFETCH(QString, file1);
    QFETCH(QString, startDir);
    QFETCH(QString, folder);
    QCOMPARE(InitialFolder(file1, startDir), folder);
}

void TestPaths::helpFile()
{
    QCOMPARE(HelpFilePath("/home/ann/mapwheel"), QString("/home/ann/mapwheel/mapwheel.hlp"));
    QCOMPARE(HelpFilePath("C:\\Tool"), QString("C:\\Tool/mapwheel.hlp"));
}

void TestPaths::dialogConfiguredOnce()
{
    frmOpenImg host;
    ScriptedFileDialog dialog;
    dialog.answers = {QString("/maps/a.gif")};
    QCOMPARE(host.ShowOpen(dialog, "/home/ann/Maps"), std::optional<QString>("/maps/a.gif"));
    QCOMPARE(dialog.requests.size(), 1);
    const FileDialogRequest& r = dialog.requests.first();
    QCOMPARE(r.title, QString("Open Map Image..."));
    QCOMPARE(r.filters.size(), 2);
    QCOMPARE(r.filters[0].first, QString("All Files (*.*)"));
    QCOMPARE(r.filters[0].second, QStringList{"*.*"});
    QCOMPARE(r.filters[1].first, QString("Image Files (*.gif, *.jpg,*.bmp)"));
    QCOMPARE(r.filters[1].second, (QStringList{"*.gif", "*.jpg", "*.bmp"}));
    QCOMPARE(r.filterIndex, 2);
    QCOMPARE(r.initialFolder, QString("/home/ann/Maps"));
    QCOMPARE(r.fileName, QString());
}

void TestPaths::fileNameEmptyEveryOpen()
{
    frmOpenImg host;
    ScriptedFileDialog dialog;
    dialog.answers = {QString("/maps/a.gif"), std::nullopt, QString("/maps/b.jpg")};
    host.ShowOpen(dialog, "/maps");
    QCOMPARE(host.CommonDialog1().fileName, QString("/maps/a.gif"));
    QCOMPARE(host.ShowOpen(dialog, "/maps"), std::nullopt); // cancelled
    host.ShowOpen(dialog, "/maps");
    QCOMPARE(dialog.requests.size(), 3);
    for (const FileDialogRequest& r : dialog.requests)
        QCOMPARE(r.fileName, QString());
}

void TestPaths::userChoicesCarryOver()
{
    frmOpenImg host;
    ScriptedFileDialog dialog;
    dialog.answers = {QString("/home/ann/walks/a.gif"), QString("/x/b.bmp"), QString("/y/c.jpg")};
    dialog.filterOnClose = 1; // the user switched to "All Files (*.*)"
    host.ShowOpen(dialog, "/start/Maps");
    dialog.filterOnClose = 0;  // a dialog that does not say keeps what was there
    host.ShowOpen(dialog, ""); // a bare-name File1: the dialog's own default, the folder last used
    host.ShowOpen(dialog, "/given");
    QCOMPARE(dialog.requests[1].filterIndex, 1);
    QCOMPARE(dialog.requests[1].initialFolder, QString("/home/ann/walks"));
    QCOMPARE(dialog.requests[2].filterIndex, 1);
    QCOMPARE(dialog.requests[2].initialFolder, QString("/given"));
    // Title and filters were never set again.
    QCOMPARE(dialog.requests[2].title, QString("Open Map Image..."));
    QCOMPARE(dialog.requests[2].filters.size(), 2);
}

QTEST_APPLESS_MAIN(TestPaths)
#include "tst_paths.moc"
