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
    void folders_data();
    void folders();
    void helpFile();
    void openDialogAcrossSeveralOpens();
};

void TestPaths::folders_data()
{
    QTest::addColumn<QString>("path"); // also the File1 setting
    QTest::addColumn<QString>("startDir");
    QTest::addColumn<QString>("folder");
    const auto row = [](const char* name, QString path, QString folder, QString startDir = "/opt") {
        QTest::newRow(name) << path << startDir << folder;
    };
    row("drive and folder", "C:\\Maps\\walk.gif", "C:\\Maps");
    row("drive only", "C:\\walk.gif", "C:");
    row("bare name", "walk.gif", "", "/home/ann");
    row("unix path", "/home/ann/maps/walk.gif", "/home/ann/maps");
    row("root", "/walk.gif", "");
    row("mixed, slash last", "C:\\Maps/walk.gif", "C:\\Maps");
    row("mixed, backslash last", "/home/ann\\walk.gif", "/home/ann");
    row("trailing separator", "D:\\Walks\\", "D:\\Walks");
    row("spaces kept", "D:\\Walks\\Sheet 12.jpg", "D:\\Walks", "/home/ann");
    // With no File1, the Maps folder beside the program.
    row("no File1, windows start dir", "", "C:\\Program Files\\Tool/Maps", "C:\\Program Files\\Tool");
    row("no File1", "", "/home/ann/mapwheel/Maps", "/home/ann/mapwheel");
    row("no File1, start dir with separator", "", "//Maps", "/");
}

void TestPaths::folders()
{
    QFETCH(QString, path);
    QFETCH(QString, startDir);
    QFETCH(QString, folder);
    QCOMPARE(FolderOf(path), path.isEmpty() ? QString() : folder);
    QCOMPARE(InitialFolder(path, startDir), folder);
}

void TestPaths::helpFile()
{
    QCOMPARE(HelpFilePath("/home/ann/mapwheel"), QString("/home/ann/mapwheel/mapwheel.hlp"));
    QCOMPARE(HelpFilePath("C:\\Tool"), QString("C:\\Tool/mapwheel.hlp"));
}

void TestPaths::openDialogAcrossSeveralOpens()
{
    frmOpenImg host;
    ScriptedFileDialog dialog;
    dialog.answers = {QString("/home/ann/walks/a.gif"), QString("/x/b.bmp"), std::nullopt,
                      QString("/y/c.jpg")};
    dialog.filterOnClose = 1; // the user switched to "All Files (*.*)"
    QCOMPARE(host.ShowOpen(dialog, "/start/Maps"), std::optional<QString>("/home/ann/walks/a.gif"));
    QCOMPARE(host.CommonDialog1().fileName, QString("/home/ann/walks/a.gif"));
    dialog.filterOnClose = 0;  // a dialog that does not say keeps what was there
    host.ShowOpen(dialog, ""); // a bare-name File1: the dialog's own default, the folder last used
    QCOMPARE(host.ShowOpen(dialog, "/given"), std::nullopt); // cancelled
    host.ShowOpen(dialog, "/given");
    QCOMPARE(dialog.requests.size(), 4);

    const FileDialogRequest& r = dialog.requests.first();
    QCOMPARE(r.title, QString("Open Map Image..."));
    QCOMPARE(r.filters.size(), 2);
    QCOMPARE(r.filters[0].first, QString("All Files (*.*)"));
    QCOMPARE(r.filters[0].second, QStringList{"*.*"});
    QCOMPARE(r.filters[1].first, QString("Image Files (*.gif, *.jpg,*.bmp)"));
    QCOMPARE(r.filters[1].second, (QStringList{"*.gif", "*.jpg", "*.bmp"}));
    QCOMPARE(r.filterIndex, 2);
    QCOMPARE(r.initialFolder, QString("/start/Maps"));
    QCOMPARE(dialog.requests[1].filterIndex, 1);
    QCOMPARE(dialog.requests[1].initialFolder, QString("/home/ann/walks"));
    QCOMPARE(dialog.requests[2].filterIndex, 1);
    QCOMPARE(dialog.requests[2].initialFolder, QString("/given"));
    for (const FileDialogRequest& later : dialog.requests) {
        QCOMPARE(later.fileName, QString()); // never the last file chosen, nor after a cancel
        QCOMPARE(later.title, r.title);      // set once, never changed
        QCOMPARE(later.filters, r.filters);
    }
}

QTEST_APPLESS_MAIN(TestPaths)
#include "tst_paths.moc"
