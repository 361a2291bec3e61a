#include "frmabout.h"
#include "frmreadme.h"
#include "frmsplash.h"
#include "maker.h"
#include "readmetext.h"
#include "shellpictures.h"

#include <QAccessible>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

// The splash, about and read-me windows as a user and a screen reader meet them.
class TestWindows : public QObject
{
    Q_OBJECT
private slots:
    void splashShowsVersionAndMakerCentred();
    void splashTimerClosesThenContinues();
    void aboutWindow();
    void readMeWindow();
    void inclineTable();
    void pictures_data();
    void pictures();
};

static QString accessibleText(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

void TestWindows::splashShowsVersionAndMakerCentred()
{
    int calls = 0;
    frmSplash splash("1.1f", [&] { ++calls; });
    QCOMPARE(splash.windowTitle(), QString("Mapwheel"));
    QCOMPARE(splash.Timer1.interval(), 3000);
    QVERIFY(splash.Timer1.isSingleShot());
    QVERIFY(splash.Timer1.isActive()); // running from the moment the window is made
    QCOMPARE(splash.lblVersion->text(), QString("Version 1.1f"));
    QCOMPARE(splash.lblCopyright->text(), QString::fromUtf8(Maker::CopyrightLine));
    QVERIFY(splash.lblVersion->font().bold());
    QCOMPARE(splash.lblVersion->font().family(), QString("Arial"));
    QVERIFY(splash.lblCopyright->font().bold());
    QCOMPARE(accessibleText(splash.lblVersion), QString("Version 1.1f"));
    QCOMPARE(accessibleText(splash.lblProductName), QString("Mapwheel"));
    // Blue window, version line in a blue that stands out from it.
    const QColor back = splash.palette().color(QPalette::Window);
    QVERIFY(back.blue() > 2 * back.red() && back.blue() > 2 * back.green());
    const QColor version = splash.lblVersion->palette().color(QPalette::WindowText);
    QVERIFY(version.blue() > version.red() && version.blue() > version.green());
    QVERIFY(version.lightness() > back.lightness() + 100);
    QVERIFY(!splash.Image1->pixmap().isNull());
    QVERIFY(!splash.imgLogo->pixmap().isNull());
    QCOMPARE(splash.findChild<QFrame*>("Frame1"), splash.Frame1);

    splash.show(); // centred, and Escape does not close it
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    const QRect screen = splash.screen()->availableGeometry();
    QVERIFY2((splash.frameGeometry().center() - screen.center()).manhattanLength() <= 2,
             qPrintable(QDebug::toString(splash.frameGeometry())));
    QVERIFY(splash.width() < screen.width());
    QTest::keyClick(&splash, Qt::Key_Escape);
    QVERIFY(splash.isVisible());
    splash.Timer1_Timer();
    QCOMPARE(calls, 1);
}

void TestWindows::splashTimerClosesThenContinues()
{
    // exec() needs no user here: the shortened timer ends it, and the continuation runs inside it.
    int calls = 0;
    bool inExec = false, ranInsideExec = false, visibleDuringCall = true;
    frmSplash* splash = nullptr;
    frmSplash s("1.1f", [&] {
        ++calls;
        ranInsideExec = inExec;
        visibleDuringCall = splash->isVisible();
    });
    splash = &s;
    s.Timer1.setInterval(10);
    inExec = true;
    const int result = s.exec();
    inExec = false;
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(calls, 1);
    QVERIFY(ranInsideExec);
    QVERIFY(!visibleDuringCall); // closed before the first open begins
    QVERIFY(!s.isVisible());
    QVERIFY(!s.Timer1.isActive());
    s.Timer1_Timer(); // a second run would open a second map: it must not
    QCOMPARE(calls, 1);
}

void TestWindows::aboutWindow()
{
    QWidget main;
    main.setWindowTitle("Mapwheel v1.1f");
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    FrmAbout about("1.1f", &main);
    QCOMPARE(about.windowTitle(), QString("About Mapwheel"));
    QCOMPARE(about.Command1->text(), QString("OK"));
    QCOMPARE(about.Label4->text(), QString::fromUtf8(Maker::WebAddress));
    QCOMPARE(about.Label1->text(), QString::fromUtf8(Maker::EMailAddress));
    QCOMPARE(about.Label3->text(), QString::fromUtf8(Maker::CopyrightLine));
    const QColor web = about.Label4->palette().color(QPalette::WindowText);
    QVERIFY(web.blue() > 2 * web.red() && web.blue() > 2 * web.green());
    about.Label2->clear(); // the version line is filled in when the window comes up
    about.show();
    about.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTRY_COMPARE(about.Label2->text(), QString("Version 1.1f"));
    QCOMPARE(accessibleText(about.Label2), QString("Version 1.1f"));
    main.hide(); // whatever became of it while the about window was up
    QTest::mouseClick(about.Command1, Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(main.isVisible()); // OK brings the main window back
    QTRY_VERIFY(main.isActiveWindow());
}

void TestWindows::readMeWindow()
{
    FrmReadMe readMe;
    QCOMPARE(readMe.windowTitle(), QString("Readme.Txt"));
    QCOMPARE(readMe.Command1->text(), QString("OK"));
    QVERIFY(readMe.Text1->isReadOnly());
    QCOMPARE(readMe.Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(readMe.Text1->font().family(), QString("Courier New"));
    QCOMPARE(readMe.Text1->font().pointSize(), 9);
    QCOMPARE(readMe.Text1->toPlainText(), ReadMeText());
    readMe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&readMe));
    QTest::mouseClick(readMe.Command1, Qt::LeftButton);
    QVERIFY(!readMe.isVisible());

    const QStringList lines = ReadMeText().split('\n');
    QCOMPARE(lines.at(0), QString("MAPWHEEL"));
    QCOMPARE(lines.at(1), QString("========"));
    int last = 1;
    for (const char* h :
         {"INTRODUCTION", "HOW MAPWHEEL WORKS", "CHOICE OF UNITS", "CALIBRATION", "MEASURING THE ROUTE",
          "ZOOMING IN AND OUT", "EFFECT OF HILLY TERRAIN ON ACCURACY", "TECHNICAL HELP"}) {
        const int at = lines.indexOf(h);
        QVERIFY2(at > last, h); // present, and in this order
        QCOMPARE(lines.at(at + 1), QString(qstrlen(h), '-'));
        last = at;
    }
    for (const QString& line : lines)
        QVERIFY2(line.size() <= 72, qPrintable(line));
    QVERIFY(ReadMeText().contains(QString::fromUtf8(Maker::EMailAddress)));
}

void TestWindows::inclineTable()
{
    // Worked by hand: 1 km along a slope of 1 in n covers n / sqrt(n*n + 1) km of level ground.
    const QStringList km{"0.707", "0.894", "0.949", "0.970", "0.981",
                         "0.986", "0.990", "0.992", "0.994", "0.995"};
    const QList<int> metresShort{293, 106, 51, 30, 19, 14, 10, 8, 6, 5};
    const QStringList rows = InclineTable().split('\n');
    QCOMPARE(rows.size(), 12);
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(InclineMapDistance(n), n / std::sqrt(n * n + 1.0));
        const QStringList cells = rows.at(n + 1).simplified().split(' ');
        QCOMPARE(cells, (QStringList{QString("1:%1").arg(n), km[n - 1], "km",
                                     QString::number(metresShort[n - 1]), "m"}));
        QVERIFY(ReadMeText().contains(rows.at(n + 1)));
    }
}

void TestWindows::pictures_data()
{
    QTest::addColumn<QString>("path");
    for (const char* p :
         {ShellPictures::Open, ShellPictures::ZoomIn, ShellPictures::ZoomOut, ShellPictures::ZoomToFit,
          ShellPictures::Recalibrate, ShellPictures::Reset, ShellPictures::Logo, ShellPictures::Splash})
        QTest::newRow(p) << QString(p);
}

void TestWindows::pictures()
{
    QFETCH(QString, path);
    const QByteArray latin = path.toLatin1();
    // Drawn, not scaled up from a small bitmap: at three times the density the picture has three
    // times the pixels, and something is painted in them.
    for (qreal dpr : {1.0, 3.0}) {
        const QPixmap pm = ShellPixmap(latin.constData(), QSize(24, 24), dpr);
        QCOMPARE(pm.width(), qRound(24 * dpr));
        const QImage img = pm.toImage();
        int painted = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                painted += qAlpha(img.pixel(x, y)) > 0;
        QVERIFY2(painted > img.width() * img.height() / 10, qPrintable(path));
    }
    const QIcon icon = ShellIcon(latin.constData());
    QVERIFY(!icon.isNull());
    const QSize drawn = icon.pixmap(QSize(48, 48)).size(); // the artwork keeps its 8:5 shape
    QCOMPARE(qMax(drawn.width(), drawn.height()), 48);
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
