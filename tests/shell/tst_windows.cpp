#include "readmetext.h"
#include "shellpictures.h"

#include <QIcon>
#include <QPixmap>
#include <QTest>
#include <cmath>

// The read-me's table of slopes, and the program's pictures.
class TestWindows : public QObject
{
    Q_OBJECT
private slots:
    void inclineTable();
    void pictures_data();
    void pictures();
};

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
