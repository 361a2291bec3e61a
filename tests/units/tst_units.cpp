#include "memorysettingsstore.h"
#include "numbertext.h"
#include "scalefactorseditor.h"
#include "scalesettings.h"
#include "unitcatalogue.h"

#include <QTest>

// The unit catalogue, the ScaleFactors record, the settings mapping and the rules of the Scale Factors OK.
class TestUnits : public QObject
{
    Q_OBJECT
private slots:
    void catalogueAndEqualise();
    void settingsRead_data();
    void settingsRead();
    void settingsWriteAndFirstRun();
    void editorAccepts_data();
    void editorAccepts();
};

namespace
{
// The five fields in the order Equalise copies them; numbers in their general form, single and double.
QStringList fields(const ScaleFactors& s)
{
    return {s.Unit1(), s.Unit2(), GeneralNumber(s.CalFactor(), "."), GeneralNumber(s.UnitFactor(), "."), s.Abbrev()};
}
const QStringList builtIn{"Kilometres", "Miles", "1", "1.609344", "km"};
const QStringList keys{"Unit1", "Unit2", "CalFact", "UnitFact", "Abbrev"};
} // namespace

void TestUnits::catalogueAndEqualise()
{
    const char* names[] = {"Millimetres", "Centimetres", "Inches", "Feet", "Yards", "Metres", "Kilometres", "Miles"};
    const char* abbrevs[] = {"mm", "cm", "in", "ft", "yd", "m", "km", "ml"};
    for (int i = 0; i < UnitCount; ++i) {
        QCOMPARE(UnitIndexOf(names[i]), i);
        QCOMPARE(UnitAbbrev(i), QString(abbrevs[i]));
    }
    for (const char* other : {"miles", "Miles ", "", "Furlongs"})
        QCOMPARE(UnitIndexOf(other), -1);
    QCOMPARE(fields(ScaleFactors()), (QStringList{"", "", "0", "0", ""}));
    // The distance option a record shows: equal in single precision, else user-defined.
    const std::pair<float, int> options[] = {{0.1f, 0}, {1, 1}, {10, 2}, {100, 3}, {0.10001f, 4}, {0, 4}, {1000, 4}};
    for (const auto& [distance, option] : options)
        QCOMPARE(ScaleFactorsEditor::optionFor(distance), option);
    QCOMPARE(fields(ScaleFactors::builtInDefaults()), builtIn);
    ScaleFactors a, b = ScaleFactors::forUnits(3, 4, 2.5f);
    Equalise(a, b);
    b.setUnit1("Miles"); // the records stay distinct
    QCOMPARE(fields(a), (QStringList{"Feet", "Yards", "2.5", "3", "ft"}));
}

void TestUnits::settingsRead_data()
{
    QTest::addColumn<QStringList>("stored"); // "-" = absent
    QTest::addColumn<QStringList>("read");
    const QStringList good{"Feet", "Yards", "2.5", "3", "ft"};
    QTest::newRow("all five") << good << good;
    QTest::newRow("empty store") << QStringList{"-", "-", "-", "-", "-"} << builtIn;
    QTest::newRow("unit outside the catalogue kept")
        << QStringList{"Furlongs", "Miles", "1", "1.609344", "fur"} << QStringList{"Furlongs", "Miles", "1", "1.609344", "fur"};
    QTest::newRow("blanks and exponents") << QStringList{"Feet", "Yards", " 6.7e-1 ", "6.21371192237334E-07", "ft"}
                                          << QStringList{"Feet", "Yards", "0.67", "6.21371192237334E-07", "ft"};
    QTest::newRow("UnitFact beyond single") << QStringList{"Feet", "Yards", "2.5", "3.5E+38", "ft"}
                                            << QStringList{"Feet", "Yards", "2.5", "3.5E+38", "ft"};
    // One missing or unusable entry brings back all five built-in defaults.
    const QList<QStringList> bad{{"", "-"}, {""}, {"abc", "2,5", "1E+39", "0", "-2.5", "nan", "1.2.3"},
                                 {"three", "1E+309", "0", "-3", "-Infinity"}, {"", "-"}};
    for (int k = 0; k < 5; ++k) {
        for (const QString& text : bad[k]) {
            QStringList stored = good;
            stored[k] = text;
            QTest::addRow("%s '%s'", qPrintable(keys[k]), qPrintable(text)) << stored << builtIn;
        }
    }
}

void TestUnits::settingsRead()
{
    QFETCH(QStringList, stored);
    MemorySettingsStore store;
    for (int i = 0; i < 5; ++i) {
        if (stored[i] != "-")
            store.entries.insert(keys[i], stored[i]);
    }
    ScaleFactors f = ScaleFactors::forUnits(2, 5, 7.0f); // every field is replaced
    QCOMPARE(ScaleSettings("Read", f, store), ScaleSettingsResult::Done);
    QTEST(fields(f), "read");
    QCOMPARE(store.writes, 0);
    QCOMPARE(ReadFirstRun(store), store.entries.isEmpty());
}

void TestUnits::settingsWriteAndFirstRun()
{
    MemorySettingsStore store;
    QVERIFY(ReadFirstRun(store));
    QLocale::setDefault(QLocale(QLocale::German)); // the store always carries a point
    ScaleFactors f = ScaleFactors::forUnits(7, 0, 12345678.0f);
    QCOMPARE(ScaleSettings("Write", f, store), ScaleSettingsResult::Done);
    QLocale::setDefault(QLocale::c());
    QStringList written;
    for (const QString& key : keys)
        written << store.entries.value(key);
    QCOMPARE(written, (QStringList{"Miles", "Millimetres", "1.234568E+07", "6.21371192237334E-07", "ml"}));
    QVERIFY(!ReadFirstRun(store));
    store.entries = {{"Abbrev", "x"}};
    QVERIFY(!ReadFirstRun(store)); // any one entry means the setup ran
    store.readOnly = true;
    QCOMPARE(ScaleSettings("Write", f, store), ScaleSettingsResult::NotWritten);
    QCOMPARE(store.entries.size(), 1);
    for (const char* mode : {"read", "WRITE", "Read ", ""})
        QCOMPARE(ScaleSettings(mode, f, store), ScaleSettingsResult::UnknownMode);
    QCOMPARE(ScaleSettingsModeError, 419);
}

void TestUnits::editorAccepts_data()
{
    QTest::addColumn<QStringList>("choice"); // Unit1, Unit2, option, distance text
    QTest::addColumn<QString>("outcome");    // the record's fields, or the field refused and its message
    const auto row = [](const char* name, QStringList choice, const char* outcome) {
        QTest::newRow(name) << choice << QString(outcome);
    };
    const char* mustBePositive = "Distance: User-defined value must be a positive number";
    const char* mustContain = "Distance: User-defined value must contain a number";
    const char* nonZero = "Distance: User-defined value must be positive and non-zero";
    row("option 0", {"Kilometres", "Miles", "0", "junk"}, "Kilometres Miles 0.1 1.609344 km");
    row("option 3", {"Feet", "Inches", "3", ""}, "Feet Inches 100 0.0833333333333333 ft");
    row("user-defined", {"Miles", "Kilometres", "4", "6.7"}, "Miles Kilometres 6.7 0.621371192237334 ml");
    row("comma separator", {"Yards", "Feet", "4", "2,5"}, "Yards Feet 2.5 0.333333333333333 yd");
    row("leading point, the first units", {"Millimetres", "Millimetres", "4", ".5"}, "Millimetres Millimetres 0.5 1 mm");
    row("largest single", {"Feet", "Feet", "4", "340282346638528859811704183484516925440"},
        "Feet Feet 3.402823E+38 1 ft");
    row("empty", {"Feet", "Feet", "4", ""}, mustContain);
    row("point alone", {"Feet", "Feet", "4", "."}, mustContain);
    row("minus", {"Feet", "Feet", "4", "-1"}, mustBePositive);
    row("two points", {"Feet", "Feet", "4", "1.2.3"}, mustBePositive);
    row("blank", {"Feet", "Feet", "4", " 1"}, mustBePositive);
    row("exponent", {"Feet", "Feet", "4", "1e5"}, mustBePositive);
    row("too large", {"Feet", "Feet", "4", "999999999999999999999999999999999999999999"}, mustBePositive);
    row("zero", {"Feet", "Feet", "4", "0.000"}, nonZero);
    row("too small", {"Feet", "Feet", "4", "0.0000000000000000000000000000000000000000000001"}, nonZero);
    // The distance is checked first, then each unit, exactly as typed.
    row("bad distance and unit", {"feet", "Feet", "4", "x"}, mustBePositive);
    row("first unit", {"feet", "Furlongs", "1", ""}, "Unit1: Please check entry for Calibration Units");
    row("second unit", {"Feet", "Miles ", "1", ""}, "Unit2: Please check entry for Other Named Units");
}

void TestUnits::editorAccepts()
{
    QFETCH(QStringList, choice);
    const ScaleFactorsEditor::Result r =
        ScaleFactorsEditor::accept({choice[0], choice[1], choice[2].toInt(), choice[3]}, ",");
    const char* field[] = {"Distance", "Unit1", "Unit2"};
    const QString outcome = r.refused ? QString(field[int(r.refused->field)]) + ": " + r.refused->text
                                      : fields(r.factors).join(' ');
    QTEST(outcome, "outcome");
    if (r.refused) // the first unit's message comes without an icon, the others with a warning
        QCOMPARE(r.refused->icon, r.refused->field == ScaleFactorsEditor::Field::Unit1 ? MessageIcon::None
                                                                                      : MessageIcon::Warning);
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
