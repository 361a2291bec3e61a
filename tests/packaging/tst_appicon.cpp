#include <QIcon>
#include <QImage>
#include <QtTest>

// The window icon is the SVG compiled into the program. Drawing it takes Qt's SVG support at run time; were
// that missing, every window would carry a blank icon and nothing would say so.
class TstAppIcon : public QObject
{
    Q_OBJECT

private slots:
    void drawsAtEverySize_data()
    {
        QTest::addColumn<int>("side");
        for (int side : {16, 32, 48, 128, 256})
            QTest::addRow("%d px", side) << side;
    }

    void drawsAtEverySize()
    {
        QFETCH(int, side);
        const QIcon icon(QStringLiteral(":/app/mapwheel.svg"));
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(QSize(side, side)).toImage();
        QCOMPARE(image.size(), QSize(side, side));
        // The map sheet and the wheel cover most of the square.
        qsizetype opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 200;
        QVERIFY2(opaque > side * side / 2, qPrintable(QStringLiteral("%1 opaque pixels").arg(opaque)));
    }
};

QTEST_MAIN(TstAppIcon)
#include "tst_appicon.moc"
