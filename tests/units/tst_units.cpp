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
    void editorShowsWhatItAccepts();
};

namespace
{
// The five fields in the order Equalise copies them; numbers in their general form, single and double.
QStringList fields(const ScaleFactors& s)
{
    return {s.Unit1(), s.Unit2(), GeneralNumber(s.CalFactor(), "."), GeneralNumber(s.UnitFactor(), "."),
            s.Abbrev()};
}
const QStringList builtIn{"Kilometres", "Miles", "1", "1.609344", "km"};
const QStringList keys{"Unit1", "Unit2", "CalFact", "UnitFact", "Abbrev"};
} // namespace

void TestUnits::catalogueAndEqualise()
{
    const char* names[] = {"Millimetres", "Centimetres", "Inches",     "Feet",
                           "Yards",       "Metres",      "Kilometres", "Miles"};
    const char* abbrevs[] = {"mm", "cm", "in", "ft", "yd", "m", "km", "ml"};
    for (int i = 0; i < UnitCount; ++i) {
        QCOMPARE(UnitIndexOf(names[i]), i);
        QCOMPARE(UnitAbbrev(i), QString(abbrevs[i]));
    }
    for (const char* other : {"miles", "Miles ", "", "Furlongs"})
        QCOMPARE(UnitIndexOf(other), -1);
    QCOMPARE(fields(ScaleFactors()), (QStringList{"", "", "0", "0", ""}));
    // The distance option a record shows: equal in single precision, else user-defined.
    const std::pair<float, int> options[] = {{0.1f, 0},     {1, 1}, {10, 2},  {100, 3},
                                             {0.10001f, 4}, {0, 4}, {1000, 4}};
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
        << QStringList{"Furlongs", "Miles", "1", "1.609344", "fur"}
        << QStringList{"Furlongs", "Miles", "1", "1.609344", "fur"};
    QTest::newRow("blanks and exponents")
        << QStringList{"Feet", "Yards", " 6.7e-1 ", "6.21371192237334E-07", "ft"}
        << QStringList{"Feet", "Yards", "0.67", "6.21371192237334E-07", "ft"};
    QTest::newRow("UnitFact beyond single") << QStringList{"Feet", "Yards", "2.5", "3.5E+38", "ft"}
                                            << QStringList{"Feet", "Yards", "2.5", "3.5E+38", "ft"};
    // One missing or unusable entry brings back all five built-in defaults.
    const QList<QStringList> bad{{"", "-"},
                                 {""},
                                 {"abc", "2,5", "1E+39", "0", "-2.5", "nan", "1.2.3"},
                                 {"three", "1E+309", "0", "-3", "-Infinity"},
                                 {"", "-"}};
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
    ScaleSettings::Read(f, store);
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
    QVERIFY(ScaleSettings::Write(f, store));
    QLocale::setDefault(QLocale::c());
    QStringList written;
    for (const QString& key : keys)
        written << store.entries.value(key);
    QCOMPARE(written, (QStringList{"Miles", "Millimetres", "1.234568E+07", "6.21371192237334E-07", "ml"}));
    QVERIFY(!ReadFirstRun(store));
    store.entries = {{"Abbrev", "x"}};
    QVERIFY(!ReadFirstRun(store)); // any one entry means the setup ran
    store.readOnly = true;
    QVERIFY(!ScaleSettings::Write(f, store));
    QCOMPARE(store.entries.size(), 1);
}

void TestUnits::editorAccepts_data()
{
    QTest::addColumn<QStringList>("choice"); // Unit1, Unit2, option, distance text
    QTest::addColumn<QString>("outcome");    // the field refused and its message, if any; then the record
    const auto row = [](const char* name, QStringList choice, QString outcome) {
        QTest::newRow(name) << choice << outcome;
    };
    const QString mustBePositive =
        "Distance: User-defined value must be a positive number | Kilometres Miles 1 1.609344 km";
    const QString mustContain =
        "Distance: User-defined value must contain a number | Kilometres Miles 1 1.609344 km";
    const QString nonZero =
        "Distance: User-defined value must be positive and non-zero | Kilometres Miles 1 1.609344 km";
    row("option 0", {"Kilometres", "Miles", "0", "junk"}, "Kilometres Miles 0.1 1.609344 km");
    row("option 3", {"Feet", "Inches", "3", ""}, "Feet Inches 100 0.0833333333333333 ft");
    row("user-defined", {"Miles", "Kilometres", "4", "6.7"}, "Miles Kilometres 6.7 0.621371192237334 ml");
    row("leading point, the first units", {"Millimetres", "Millimetres", "4", ".5"},
        "Millimetres Millimetres 0.5 1 mm");
    row("largest single", {"Feet", "Feet", "4", "340282346638528859811704183484516925440"},
        "Feet Feet 3.402823E+38 1 ft");
    row("empty", {"Feet", "Feet", "4", ""}, mustContain);
    row("point alone", {"Feet", "Feet", "4", "."}, mustContain);
    row("comma, in any language", {"Feet", "Feet", "4", "2,5"}, mustBePositive);
    row("two points", {"Feet", "Feet", "4", "1.2.3"}, mustBePositive);
    row("exponent", {"Feet", "Feet", "4", "1e5"}, mustBePositive);
    row("too large", {"Feet", "Feet", "4", "999999999999999999999999999999999999999999"}, mustBePositive);
    row("zero", {"Feet", "Feet", "4", "0.000"}, nonZero);
    row("too small", {"Feet", "Feet", "4", "0.0000000000000000000000000000000000000000000001"}, nonZero);
    // The distance is checked first, then each unit, exactly as typed; what passed stays in the record.
    row("bad distance and unit", {"feet", "Feet", "4", "x"}, mustBePositive);
    row("first unit", {"feet", "Furlongs", "1", ""},
        "Unit1: Please check entry for Calibration Units | Kilometres Miles 1 1.609344 km");
    row("second unit", {"Feet", "Miles ", "4", "2.5"},
        "Unit2: Please check entry for Other Named Units | Feet Miles 2.5 1.609344 km");
}

void TestUnits::editorAccepts()
{
    QFETCH(QStringList, choice);
    ScaleFactors edit = ScaleFactors::builtInDefaults();
    const auto refused =
        ScaleFactorsEditor::accept({choice[0], choice[1], choice[2].toInt(), choice[3]}, edit);
    const char* field[] = {"Distance", "Unit1", "Unit2"};
    QString outcome = fields(edit).join(' ');
    if (refused)
        outcome = QString(field[int(refused->field)]) + ": " + refused->text + " | " + outcome;
    QTEST(outcome, "outcome");
    if (refused) // the first unit's message comes without an icon, the others with a warning
        QCOMPARE(refused->icon, refused->field == ScaleFactorsEditor::Field::Unit1 ? MessageIcon::None
                                                                                   : MessageIcon::Warning);
}

void TestUnits::editorShowsWhatItAccepts()
{
    // What the user-defined box shows of a distance, an OK accepts as that very distance.
    for (float d : {0.00005f, 12345678.0f, 6.7f, 1e-38f, 3.4e38f}) {
        ScaleFactors shown = ScaleFactors::builtInDefaults();
        QVERIFY(!ScaleFactorsEditor::accept({"Feet", "Feet", 4, ScaleFactorsEditor::distanceText(d)}, shown));
        QCOMPARE(GeneralNumber(shown.CalFactor(), "."), GeneralNumber(d, "."));
    }
    QCOMPARE(ScaleFactorsEditor::distanceText(0.00005f) + " " + ScaleFactorsEditor::distanceText(12345678.0f),
             QString("0.00005 12345680"));
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
