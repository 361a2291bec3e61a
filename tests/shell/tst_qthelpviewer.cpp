#include "qthelpviewer.h"
#include "recordingmessageboxes.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

// The help viewer with the project's own help file, a missing file and a folder in its place.
class TestQtHelpViewer : public QObject
{
    Q_OBJECT
private slots:
    void opensAtContentsInOneWindow();
    void unreadableFileReported_data();
    void unreadableFileReported();
};

static QString projectHelpFile()
{
    return QStringLiteral(MAPWHEEL_SOURCE_DIR) + "/mapwheel.hlp";
}

void TestQtHelpViewer::opensAtContentsInOneWindow()
{
    RecordingMessageBoxes boxes;
    QtHelpViewer viewer(boxes);
    viewer.showContents(projectHelpFile());
    QVERIFY(boxes.shown.isEmpty());
    QWidget* window = viewer.window();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowTitle(), QString("Mapwheel Help Topics"));
    auto* browser = window->findChild<QTextBrowser*>("helpBrowser");
    QVERIFY(browser);
    const QString text = browser->toPlainText();
    QVERIFY(text.startsWith("Mapwheel Help Topics"));
    for (const char* topic : {"Getting started", "Opening a map", "Calibrating the map", "Measuring a route",
                              "Zooming and scrolling", "Units and scale factors", "Recent maps"})
        QVERIFY2(text.count(topic) >= 2, topic); // in the contents and as a heading
    QCOMPARE(browser->verticalScrollBar()->value(), 0);
    QCOMPARE(browser->textCursor().position(), 0);

    viewer.showContents(projectHelpFile()); // a second open reuses the window
    QCOMPARE(viewer.window(), window);
    window->close(); // the window goes with its close control
    QTRY_VERIFY(!viewer.window());
    viewer.showContents(projectHelpFile());
    QVERIFY(viewer.window());
}

void TestQtHelpViewer::unreadableFileReported_data()
{
    QTest::addColumn<bool>("folder"); // a folder where the file should be; otherwise nothing there
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << false << "there is no such file";
    QTest::newRow("folder") << true << "it is a folder, not a file";
}

void TestQtHelpViewer::unreadableFileReported()
{
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("mapwheel.hlp");
    if (folder)
        QVERIFY(QDir(dir.path()).mkdir("mapwheel.hlp"));
    RecordingMessageBoxes boxes;
    QtHelpViewer viewer(boxes);
    viewer.showContents(path);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].title, QString("Mapwheel Help"));
    QCOMPARE(boxes.shown[0].text, QString("Cannot open the help file\r%1\rbecause %2.").arg(path, reason));
    QCOMPARE(boxes.shown[0].icon, MessageIcon::Warning);
    QVERIFY(!viewer.window());
}

QTEST_MAIN(TestQtHelpViewer)
#include "tst_qthelpviewer.moc"
