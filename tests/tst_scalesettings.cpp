#include "memorysettingsstore.h"
#include "scalesettings.h"
#include "unitcatalogue.h"

#include <QLocale>
#include <QTest>

namespace
{
const auto noFatal = [](int16_t n) { QFAIL(qPrintable(QStringLiteral("fatal error %1").arg(n))); };

ScaleFactors record(const QString& u1, const QString& u2, float cal, double factor, const QString& abbrev)
{
    ScaleFactors f;
    f.setUnit1(u1);
    f.setUnit2(u2);
    f.setCalFactor(cal);
    f.setUnitFactor(factor);
    f.setAbbrev(abbrev);
    return f;
}

void checkRecord(const ScaleFactors& f, const QStringList& units, float cal, double factor)
{
    QCOMPARE(f.Unit1(), units[0]);
    QCOMPARE(f.Unit2(), units[1]);
    QVERIFY(f.CalFactor() == cal);
    QVERIFY2(f.UnitFactor() == factor, qPrintable(QString::number(f.UnitFactor(), 'g', 17)));
    QCOMPARE(f.Abbrev(), units[2]);
}
} // namespace

// ScaleSettings and first-run detection over a store in memory.
class TestScaleSettings : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void readRestoresOrFallsBack_data()
    {
        QTest::addColumn<QStringList>("stored"); // Unit1, Unit2, CalFact, UnitFact, Abbrev; "<none>" = absent
        QTest::addColumn<bool>("restored");
        QTest::addColumn<float>("calFactor");
        QTest::addColumn<double>("unitFactor");

        auto row = [](const QString& name, QStringList stored, bool restored, float cal = 0,
                      double factor = 0) {
            QTest::addRow("%s", qPrintable(name)) << stored << restored << cal << factor;
        };
        row("empty store", {"<none>", "<none>", "<none>", "<none>", "<none>"}, false);
        row("all five", {"Feet", "Yards", "2.5", "3", "ft"}, true, 2.5f, 3.0);
        row("unit outside catalogue kept", {"Furlongs", "Miles", "1", "1.609344", "fur"}, true, 1.0f,
            1.609344);
        row("blanks around numbers", {"Feet", "Yards", " 2.5 ", " 3", "ft"}, true, 2.5f, 3.0);
        row("exponent form", {"Miles", "Millimetres", "1", "6.21371192237334E-07", "ml"}, true, 1.0f,
            1.0 / 1609344.0);
        row("lower-case exponent", {"Feet", "Yards", "6.7e-1", "6.7e-1", "ft"}, true, 0.67f, 0.67);
        row("largest single", {"Feet", "Yards", "3.402823E+38", "3.402823E+38", "ft"}, true, 3.402823E+38f,
            3.402823E+38);
        row("UnitFact beyond single", {"Feet", "Yards", "2.5", "3.5E+38", "ft"}, true, 2.5f, 3.5E+38);
        row("absent Abbrev", {"Feet", "Yards", "2.5", "3", "<none>"}, false);

        // One bad entry among good ones brings back all five built-in defaults.
        const QStringList keys{"Unit1", "Unit2", "CalFact", "UnitFact", "Abbrev"};
        auto bad = [&](int key, const QStringList& texts) {
            for (const QString& text : texts) {
                QStringList stored{"Feet", "Yards", "2.5", "3", "ft"};
                stored[key] = text;
                row(keys[key] + " '" + text + "'", stored, false);
            }
        };
        bad(0, {""});
        bad(1, {""});
        bad(2,
            {"", "abc", "2,5", "2.5ft", "nan", "inf", "1E+39", "0", "-2.5", "+1", "0x10", "1.2.3", ".", " "});
        bad(3, {"", "three", "NaN", "-Infinity", "1E+309", "0", "-3", "+1", "0x10", "1.2.3", ".", " "});
        bad(4, {""});
    }

    void readRestoresOrFallsBack()
    {
        QFETCH(QStringList, stored);
        QFETCH(bool, restored);
        QFETCH(float, calFactor);
        QFETCH(double, unitFactor);
        const QStringList keys{"Unit1", "Unit2", "CalFact", "UnitFact", "Abbrev"};
        MemorySettingsStore store;
        for (int i = 0; i < keys.size(); ++i) {
            if (stored[i] != "<none>")
                store.entries.insert(keys[i], stored[i]);
        }
        ScaleFactors f = record("Inches", "Metres", 7.0f, 9.0, "in"); // every field is replaced
        QVERIFY(ScaleSettings("Read", f, store, noFatal));
        QCOMPARE(store.writes, 0);
        if (restored)
            checkRecord(f, {stored[0], stored[1], stored[4]}, calFactor, unitFactor);
        else
            checkRecord(f, {"Kilometres", "Miles", "km"}, 1.0f, 1.609344);
    }

    void writeThenFreshRead_data()
    {
        QTest::addColumn<int>("unit1");
        QTest::addColumn<int>("unit2");
        QTest::addColumn<float>("calFactor");
        QTest::addColumn<QString>("calText");
        QTest::addColumn<QString>("factorText");
        QTest::addColumn<float>("calBack");
        QTest::addColumn<double>("factorBack");

        // The point is written and read whatever the user's decimal separator.
        for (const char* locale : {"", " (comma locale)"}) {
            auto row = [&](const char* name, int u1, int u2, float cal, const char* calText,
                           const char* factorText, float calBack, double factorBack) {
                QTest::addRow("%s%s", name, locale)
                    << u1 << u2 << cal << QString(calText) << QString(factorText) << calBack << factorBack;
            };
            row("Feet Yards 2.5", 3, 4, 2.5f, "2.5", "3", 2.5f, 3.0);
            row("Kilometres Miles 1", 6, 7, 1.0f, "1", "1.609344", 1.0f, 1.609344);
            row("Miles Millimetres 0.1", 7, 0, 0.1f, "0.1", "6.21371192237334E-07", 0.1f, 1.0 / 1609344.0);
            // 304.8 / 25.4 is 12.000000000000002; its 15-digit text is 12.
            row("Inches Feet 100", 2, 3, 100.0f, "100", "12", 100.0f, 12.0);
            row("Metres Feet 6.7", 5, 3, 6.7f, "6.7", "0.3048", 6.7f, 0.3048);
            row("Miles Kilometres 6.7", 7, 6, 6.7f, "6.7", "0.621371192237334", 6.7f, 1000000.0 / 1609344.0);
            row("Millimetres Miles 1234567", 0, 7, 1234567.0f, "1234567", "1609344", 1234567.0f, 1609344.0);
            row("Centimetres Inches 12345678", 1, 2, 12345678.0f, "1.234568E+07", "2.54", 12345680.0f, 2.54);
        }
    }

    void writeThenFreshRead()
    {
        QFETCH(int, unit1);
        QFETCH(int, unit2);
        QFETCH(float, calFactor);
        QFETCH(QString, calText);
        QFETCH(QString, factorText);
        QFETCH(float, calBack);
        QFETCH(double, factorBack);
        if (QString(QTest::currentDataTag()).contains("comma"))
            QLocale::setDefault(QLocale(QLocale::German));

        ScaleFactors f = record(UnitName(unit1), UnitName(unit2), calFactor, UnitFactorFor(unit1, unit2),
                                UnitAbbrev(unit1));
        MemorySettingsStore store;
        QVERIFY(ScaleSettings("Write", f, store, noFatal));
        QCOMPARE(store.writes, 1); // all five in one write
        QCOMPARE(store.entries.size(), 5);
        QCOMPARE(store.entries.value("Unit1"), UnitName(unit1));
        QCOMPARE(store.entries.value("Unit2"), UnitName(unit2));
        QCOMPARE(store.entries.value("CalFact"), calText);
        QCOMPARE(store.entries.value("UnitFact"), factorText);
        QCOMPARE(store.entries.value("Abbrev"), UnitAbbrev(unit1));

        ScaleFactors next; // a new run's DefaultFactors
        QVERIFY(ScaleSettings("Read", next, store, noFatal));
        checkRecord(next, {UnitName(unit1), UnitName(unit2), UnitAbbrev(unit1)}, calBack, factorBack);
    }

    void otherModesAreFatal_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("lower case read") << "read";
        QTest::newRow("upper case WRITE") << "WRITE";
        QTest::newRow("empty") << "";
        QTest::newRow("trailing blank") << "Read ";
        QTest::newRow("other word") << "Delete";
    }

    void otherModesAreFatal()
    {
        QFETCH(QString, mode);
        MemorySettingsStore store;
        store.entries.insert("Unit1", "Feet");
        ScaleFactors f = record("Yards", "Miles", 3.0f, 1760.0, "yd");
        QList<int16_t> raised;
        QVERIFY(!ScaleSettings(mode, f, store, [&](int16_t n) { raised << n; }));
        QCOMPARE(raised, QList<int16_t>{419});
        checkRecord(f, {"Yards", "Miles", "yd"}, 3.0f, 1760.0);
        QCOMPARE(store.writes, 0);
        QCOMPARE(store.entries.size(), 1);
    }

    void refusedWriteIsReported()
    {
        MemorySettingsStore store;
        store.entries.insert("Unit1", "Feet");
        store.readOnly = true;
        ScaleFactors f = ScaleFactors::builtInDefaults();
        QVERIFY(!ScaleSettings("Write", f, store, noFatal));
        QCOMPARE(store.entries.value("Unit1"), QStringLiteral("Feet"));
    }

    void firstRun()
    {
        MemorySettingsStore store;
        QVERIFY(ReadFirstRun(store));
        // Recent maps alone (saved when the first map loads) do not end the first run.
        store.entries.insert("File1", "/maps/a.gif");
        QVERIFY(ReadFirstRun(store));
        store.entries.insert("Unit1", "");
        QVERIFY(ReadFirstRun(store));

        ScaleFactors f = ScaleFactors::builtInDefaults();
        QVERIFY(ScaleSettings("Write", f, store, noFatal));
        QVERIFY(!ReadFirstRun(store));

        // A store with some entries damaged or missing is a set-up store whose defaults fall back.
        MemorySettingsStore partial;
        partial.entries.insert("CalFact", "abc");
        QVERIFY(!ReadFirstRun(partial));
    }
};

QTEST_GUILESS_MAIN(TestScaleSettings)
#include "tst_scalesettings.moc"
