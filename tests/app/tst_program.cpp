// What the black-box scenarios cannot reach: a map that fails at start-up, and the fatal errors, which no
// user action raises.
#include "apptesting.h"

#include <QMainWindow>
#include <QPointer>

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ConfigureApplication(); }
    void failedFirstLoadAsksAgain();
    void fatalErrorReportsAndEnds_data();
    void fatalErrorReportsAndEnds();
};

void TestProgram::failedFirstLoadAsksAgain()
{
    Harness h;
    storeDefaults(h.store);
    h.dialog.answers << QStringLiteral("/nowhere/at/all.gif") << sampleMap("cold-fell.jpg");
    h.program.Main();
    QCOMPARE(h.dialog.requests.size(), 2);
    QCOMPARE(h.messages.shown.first().title, QString("Map Not Opened"));
    QVERIFY2(h.messages.shown.first().text.contains("all.gif"), qPrintable(h.messages.shown.first().text));
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
    QCOMPARE(h.exit.exitCode, 0);
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

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
