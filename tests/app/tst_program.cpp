// The program from Main to Exit, with the desktop's services answered by recorders.
#include "apptesting.h"

#include "frmopenimg.h"
#include "scalesettings.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ConfigureApplication(); }
    void newcomersFirstRunFromMainToExit();
    void secondStartShowsTheSameListAndDefaults();
    void cancelAtStartUpEndsSilently();
    void cancelLaterChangesNothing();
    void dialogStartsWhereTheLastMapWas_data();
    void dialogStartsWhereTheLastMapWas();
    void failedLoadKeepsTheOpenMap_data();
    void failedLoadKeepsTheOpenMap();
    void failedFirstLoadAsksAgain();
    void fatalErrorReportsAndEnds_data();
    void fatalErrorReportsAndEnds();
    void closeControlEndsTheProgram();
    void motionEventsAreNotMerged();
};

// Rushmere Edge: 250 px to the km, grid lines at 125 + 250k px, its marked route 6.5 km long.
static const QList<QPointF> RushmereRoute{{300, 150}, {300, 400},  {500, 550}, {740, 620},
                                          {890, 420}, {1140, 420}, {1245, 780}};

void TestProgram::newcomersFirstRunFromMainToExit()
{
    Harness h;
    const QString map = sampleMap("rushmere-edge.bmp");
    h.dialog.answers << map;
    bool firstRunMode = false;
    whenModalOpens("FrmScaling", [&](QWidget* dialog) {
        auto* check = dialog->findChild<QCheckBox*>(QStringLiteral("Check1"));
        auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("Command2"));
        firstRunMode = check->isChecked() && !check->isEnabled() && !cancel->isEnabled();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    h.program.Main();
    if (h.main().isLoaded())
        h.settle();

    QVERIFY(!h.exit.ended);
    QVERIFY(firstRunMode);
    // The dialog's OK saved the defaults, ended first-run mode and started the calibration.
    QCOMPARE(h.store.entries.value("Unit1"), QString("Kilometres"));
    QVERIFY(!ReadFirstRun(h.store));
    QCOMPARE(h.lastTitle(), QString("Calibration Procedure"));
    QVERIFY(h.messages.shown.last().text.startsWith(
        "Zoom in, then click & drag from one point to another \r1 km away"));
    QVERIFY(!h.program.FreshStart);

    // The window: caption, units, fitted map, bars hidden, the recent list.
    QMainWindow* window = h.main().window();
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), "Mapwheel v1.1f (\u00a9 2026 Holloway Software):-  " + map);
    QCOMPARE(h.text("Text14"), QString("Kilometres"));
    QCOMPARE(h.text("Text15"), QString("Miles"));
    QCOMPARE(h.text("Text7"), QString("0.000"));
    QVERIFY(!h.view().hscroll1()->isVisible());
    QVERIFY(!h.view().vscroll1()->isVisible());
    QCOMPARE(h.store.entries.value("File1"), map);
    QCOMPARE(h.action("mnuMRU_0")->data().toString(), map);

    // Calibrate on two grid lines 1 km apart, then trace the marked route in two strokes, zooming in
    // and scrolling between them.
    drag(h, {{125, 400}, {375, 400}});
    QCOMPARE(h.messages.shown.last().text, QString("Now you can click & drag to measure distances"));
    drag(h, RushmereRoute.mid(0, 4));
    const double firstPart = meter(h.text("Text7"));
    QVERIFY2(std::abs(firstPart - 3.0) < 0.02, qPrintable(h.text("Text7")));
    h.action("MenuZoomIn")->trigger();
    h.action("MenuZoomIn")->trigger();
    QVERIFY(h.view().hscroll1()->isVisible());
    h.view().hscroll1()->setValue(30);
    drag(h, RushmereRoute.mid(3));
    QVERIFY2(std::abs(meter(h.text("Text7")) - 6.5) < 0.03, qPrintable(h.text("Text7")));
    QVERIFY2(std::abs(meter(h.text("Text8")) - 6.5 / 1.609344) < 0.02, qPrintable(h.text("Text8")));

    // Reset, then reopen from the recent-files list: a fresh window, a new calibration.
    h.action("PopMenuReset")->trigger();
    QCOMPARE(h.text("Text7"), QString("0.000"));
    QCOMPARE(h.text("Text8"), QString("0.000"));
    const int shown = h.messages.shown.size();
    h.action("mnuMRU_0")->trigger();
    QTRY_COMPARE(h.messages.shown.size(), shown + 1);
    QVERIFY(h.main().window() && h.main().window()->isVisible());
    QCOMPARE(h.lastTitle(), QString("Calibration Procedure"));
    QVERIFY(!h.main().measurement().Calibrated());
    QCOMPARE(h.main().viewFields().ZoomFactor, h.view().model().fields().ZoomFactor);

    // Exit: no message, nothing written.
    const int writes = h.store.writes;
    h.action("menuExit")->trigger();
    QTRY_VERIFY(h.exit.ended);
    QCOMPARE(h.messages.shown.size(), shown + 1);
    QCOMPARE(h.store.writes, writes);
    QVERIFY(!h.main().isLoaded());
}

void TestProgram::secondStartShowsTheSameListAndDefaults()
{
    MemorySettingsStore kept;
    storeDefaults(kept);
    kept.entries.insert("Unit1", "Miles");
    kept.entries.insert("Unit2", "Kilometres");
    kept.entries.insert("UnitFact", "0.621371192237334");
    kept.entries.insert("Abbrev", "ml");
    kept.entries.insert("File1", sampleMap("cold-fell.jpg"));
    kept.entries.insert("File2", sampleMap("ashby-moor.gif"));

    Harness h;
    h.store.entries = kept.entries;
    h.dialog.answers << sampleMap("rushmere-edge.bmp");
    h.program.Main();
    if (h.main().isLoaded())
        h.settle();
    // Not the first run: straight to the calibration prompt, in the stored units.
    QCOMPARE(h.lastTitle(), QString("Calibration Procedure"));
    QVERIFY(h.messages.shown.last().text.contains("\r1 ml away"));
    QCOMPARE(h.text("Text14"), QString("Miles"));
    QCOMPARE(h.text("Text15"), QString("Kilometres"));
    const QStringList expected{sampleMap("rushmere-edge.bmp"), sampleMap("cold-fell.jpg"),
                               sampleMap("ashby-moor.gif")};
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(h.action(qPrintable(QString("mnuMRU_%1").arg(i)))->data().toString(), expected[i]);
        QCOMPARE(h.store.entries.value(QString("File%1").arg(i + 1)), expected[i]);
    }
    QVERIFY(h.action("menuSep2")->isVisible());
}

void TestProgram::cancelAtStartUpEndsSilently()
{
    Harness h;
    storeDefaults(h.store);
    h.program.Main(); // the dialog answers "cancel"
    QVERIFY(h.exit.ended);
    QVERIFY(h.messages.shown.isEmpty());
    QCOMPARE(h.store.writes, 0);
    QVERIFY(!h.main().isLoaded());
}

void TestProgram::cancelLaterChangesNothing()
{
    Harness h;
    const QString map = sampleMap("ashby-moor.gif");
    startWith(h, map);
    const QString caption = h.main().window()->windowTitle();
    const int shown = h.messages.shown.size();
    h.action("menuOpen")->trigger(); // cancelled
    QTRY_COMPARE(h.dialog.requests.size(), 2);
    QVERIFY(!h.exit.ended);
    QCOMPARE(h.program.MapFile, map);
    QCOMPARE(h.main().window()->windowTitle(), caption);
    QCOMPARE(h.messages.shown.size(), shown);
    // Every time the dialog opens its file name box is empty; the first time on the image files entry.
    QCOMPARE(h.dialog.requests.size(), 2);
    QCOMPARE(h.dialog.requests[0].fileName, QString());
    QCOMPARE(h.dialog.requests[0].title, QString("Open Map Image..."));
    QCOMPARE(h.dialog.requests[0].filterIndex, 2);
    QCOMPARE(h.dialog.requests[0].filters.at(1).first, QString("Image Files (*.gif, *.jpg,*.bmp)"));
    QCOMPARE(h.dialog.requests[1].fileName, QString());
}

void TestProgram::dialogStartsWhereTheLastMapWas_data()
{
    QTest::addColumn<QString>("file1");
    QTest::addColumn<QString>("folder");
    QTest::newRow("no File1: Maps under the start folder") << QString() << QDir::currentPath() + "/Maps";
    QTest::newRow("File1 with a folder") << "/data/walks/Sheet 12.jpg"
                                         << "/data/walks";
    QTest::newRow("File1 in the other separator style") << "D:\\Walks\\Sheet 12.jpg"
                                                        << "D:\\Walks";
}

void TestProgram::dialogStartsWhereTheLastMapWas()
{
    QFETCH(QString, file1);
    QFETCH(QString, folder);
    Harness h;
    storeDefaults(h.store);
    if (!file1.isEmpty())
        h.store.entries.insert("File1", file1);
    h.program.Main();
    if (h.main().isLoaded())
        h.settle();
    QCOMPARE(h.dialog.requests.size(), 1);
    QCOMPARE(h.dialog.requests[0].initialFolder, folder);
}

void TestProgram::failedLoadKeepsTheOpenMap_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("not a picture") << "text";
    QTest::newRow("truncated BMP") << "truncated";
    QTest::newRow("recent entry whose file is gone") << "recent";
}

void TestProgram::failedLoadKeepsTheOpenMap()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString bad = dir.filePath("sheet.bmp");
    if (kind == "text") {
        bad = dir.filePath("notes.jpg");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("these are walking notes, not a picture\n");
    } else if (kind == "truncated") {
        QFile in(sampleMap("rushmere-edge.bmp"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QFile out(bad);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(in.read(in.size() / 2));
    }

    Harness h;
    storeDefaults(h.store);
    const QString map = sampleMap("rushmere-edge.bmp");
    h.dialog.answers << map << bad;
    if (kind == "recent")
        h.store.entries.insert("File1", bad); // opened in an earlier run, deleted since
    h.program.Main();
    if (h.main().isLoaded())
        h.settle();
    drag(h, {{125, 400}, {375, 400}});
    drag(h, {{125, 650}, {625, 650}});
    const QString caption = h.main().window()->windowTitle();
    const QString route = h.text("Text7");
    const float zoom = h.main().viewFields().ZoomFactor;
    QMainWindow* window = h.main().window();

    if (kind == "recent")
        h.action("mnuMRU_1")->trigger();
    else
        h.action("menuOpen")->trigger();

    QTRY_COMPARE(h.lastTitle(), QString("Map Not Opened"));
    QVERIFY2(h.messages.shown.last().text.contains(QFileInfo(bad).fileName()),
             qPrintable(h.messages.shown.last().text));
    QVERIFY(!h.exit.ended);
    QCOMPARE(h.main().window(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(h.program.MapFile, map);
    QCOMPARE(h.text("Text7"), route);
    QCOMPARE(h.main().viewFields().ZoomFactor, zoom);
    QVERIFY(h.main().measurement().Calibrated());
    QCOMPARE(h.store.entries.value("File1"), map);
    if (kind == "recent") {
        QCOMPARE(h.store.entries.value("File2"), bad);
        QCOMPARE(h.action("mnuMRU_1")->data().toString(), bad);
    } else {
        QVERIFY(!h.store.entries.contains("File2"));
    }
}

void TestProgram::failedFirstLoadAsksAgain()
{
    Harness h;
    storeDefaults(h.store);
    h.dialog.answers << QStringLiteral("/nowhere/at/all.gif") << sampleMap("cold-fell.jpg");
    h.program.Main();
    if (h.main().isLoaded())
        h.settle();
    QCOMPARE(h.dialog.requests.size(), 2);
    QCOMPARE(h.messages.shown.first().title, QString("Map Not Opened"));
    QCOMPARE(h.program.MapFile, sampleMap("cold-fell.jpg"));
    QCOMPARE(h.lastTitle(), QString("Calibration Procedure"));
}

void TestProgram::fatalErrorReportsAndEnds_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("reported");
    QTest::newRow("418") << 418 << true;
    QTest::newRow("417") << 417 << true;
    QTest::newRow("0 ends without a word") << 0 << false;
    QTest::newRow("negative ends without a word") << -3 << false;
}

void TestProgram::fatalErrorReportsAndEnds()
{
    QFETCH(int, number);
    QFETCH(bool, reported);
    Harness h;
    startWith(h, sampleMap("ashby-moor.gif"));
    const int shown = h.messages.shown.size();
    QPointer<QMainWindow> window = h.main().window();
    h.program.RaiseFatal(int16_t(number));
    QVERIFY(h.exit.ended);
    QCOMPARE(h.messages.shown.size(), shown + (reported ? 1 : 0));
    if (reported) {
        const auto& box = h.messages.shown.last();
        QCOMPARE(box.title, QString("Mapwheel Fatal Error"));
        QVERIFY(box.text.startsWith(QString("Fatal Error #%1\r").arg(number)));
        QVERIFY(box.text.size() > QString("Fatal Error #418\r").size() + 10);
        QVERIFY(!box.text.contains('\n'));
        QCOMPARE(box.icon, MessageIcon::Critical);
    }
    QVERIFY(!h.main().isLoaded());
    QVERIFY(!h.program.CurrentFactors);
    QVERIFY(!h.program.DefaultFactors);
    QTRY_VERIFY(window.isNull());
}

void TestProgram::closeControlEndsTheProgram()
{
    Harness h;
    startWith(h, sampleMap("ashby-moor.gif"));
    const int shown = h.messages.shown.size();
    h.main().window()->close();
    QTRY_VERIFY(h.exit.ended);
    QCOMPARE(h.messages.shown.size(), shown);
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || w->inherits("QMenu"), qPrintable(w->objectName()));
}

void TestProgram::motionEventsAreNotMerged()
{
    QVERIFY(!QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents));
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
