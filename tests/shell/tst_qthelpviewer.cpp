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
    void opensAtContents();
    void missingFileReported();
    void folderReported();
    void secondOpenReusesWindow();
};

static QString projectHelpFile()
{
    return QStringLiteral(MAPWHEEL_SOURCE_DIR) + "/mapwheel.hlp";
}

void TestQtHelpViewer::opensAtContents()
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
}

void TestQtHelpViewer::missingFileReported()
{
    QTemporaryDir dir;
    RecordingMessageBoxes boxes;
    QtHelpViewer viewer(boxes);
    const QString path = dir.filePath("mapwheel.hlp");
    viewer.showContents(path);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].title, QString("Mapwheel Help"));
    QCOMPARE(boxes.shown[0].text,
             QString("Cannot open the help file\r%1\rbecause there is no such file.").arg(path));
    QCOMPARE(boxes.shown[0].icon, MessageIcon::Warning);
    QVERIFY(!viewer.window());
}

void TestQtHelpViewer::folderReported()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("mapwheel.hlp"));
    RecordingMessageBoxes boxes;
    QtHelpViewer viewer(boxes);
    viewer.showContents(dir.filePath("mapwheel.hlp"));
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown[0].text.endsWith("because it is a folder, not a file."));
    QVERIFY(!viewer.window());
}

void TestQtHelpViewer::secondOpenReusesWindow()
{
    RecordingMessageBoxes boxes;
    QtHelpViewer viewer(boxes);
    viewer.showContents(projectHelpFile());
    QWidget* first = viewer.window();
    viewer.showContents(projectHelpFile());
    QCOMPARE(viewer.window(), first);
    first->close(); // the window goes with its close control
    QTRY_VERIFY(!viewer.window());
    viewer.showContents(projectHelpFile());
    QVERIFY(viewer.window());
}

QTEST_MAIN(TestQtHelpViewer)
#include "tst_qthelpviewer.moc"
