#include "frmscaling.h"
#include "memorysettingsstore.h"
#include "numbertext.h"
#include "recordingmessageboxes.h"
#include "scalesettings.h"
#include "unitcatalogue.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

// The Scale Factors dialog driven as a user drives it: picks from the lists, typing, clicks, Enter and
// Escape, with its message boxes answered through the platform interface.
namespace
{
struct Program {
    ScaleFactors DefaultFactors = ScaleFactors::builtInDefaults();
    ScaleFactors CurrentFactors = ScaleFactors::builtInDefaults();
    bool FirstRun = false;
    MemorySettingsStore store;
    RecordingMessageBoxes messages;
    QStringList meterCaptions;
    int calibrations = 0;
    bool dialogVisibleAtCalibrate = false;
    QList<int16_t> fatal;
    FrmScaling* dialog = nullptr;
    ScalingServices services{DefaultFactors,
                             CurrentFactors,
                             FirstRun,
                             store,
                             messages,
                             [this](const QString& u1, const QString& u2) {
                                 meterCaptions = {u1, u2};
                             },
                             [this] {
                                 ++calibrations;
                                 dialogVisibleAtCalibrate = dialog && dialog->isVisible();
                             },
                             [this](int16_t n) { fatal << n; }};
};

template <class T> T* control(QWidget* dialog, const char* name)
{
    T* w = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

bool same(const ScaleFactors& a, const ScaleFactors& b)
{
    return a.Unit1() == b.Unit1() && a.Unit2() == b.Unit2() && a.CalFactor() == b.CalFactor() &&
           a.UnitFactor() == b.UnitFactor() && a.Abbrev() == b.Abbrev();
}

ScaleFactors record(int unit1, int unit2, float cal)
{
    ScaleFactors f;
    f.setUnit1(UnitName(unit1));
    f.setUnit2(UnitName(unit2));
    f.setCalFactor(cal);
    f.setUnitFactor(UnitFactorFor(unit1, unit2));
    f.setAbbrev(UnitAbbrev(unit1));
    return f;
}
} // namespace

class TestFrmScaling : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void controlsNamesAndLayout();
    void opensWithBuiltInDefaults();
    void opensOnStoredDistance_data();
    void opensOnStoredDistance();
    void pickingPrimaryUnitChangesAbbreviation();
    void typedUnitGivesSameRecordAsPicked();
    void feetYardsUserDefined();
    void userDefinedRefused_data();
    void userDefinedRefused();
    void unitRefusedAsTyped_data();
    void unitRefusedAsTyped();
    void storedUnitOutsideCatalogue();
    void distanceCheckedBeforeUnits();
    void refusedUnitKeepsAcceptedDistance();
    void presetDistanceKeptAfterRefusedUnit();
    void overwriteDefaults();
    void withoutOverwriteRestartBringsOldDefaults();
    void firstRunMode();
    void resetThenCancel();
    void untilFirstOkEveryOpeningStartsFromDefaults();
    void reopeningReplacesUnconfirmedEdits();
    void enterIsOkEscapeIsCancel();
    void windowCloseChangesNothing();
    void okAlwaysCalibrates();
    void unwritableStoreDoesNotEndProgram();
    void commaLocale();
    void getComboIndex_data();
    void getComboIndex();
    void showModalRunsAndReturns();

private:
    FrmScaling* open();
    void pick(const char* comboName, int index);
    void type(QWidget* w, const QString& text);
    void chooseOption(int index);
    void clickOk();

    std::unique_ptr<Program> p;
    std::unique_ptr<FrmScaling> dlg;
};

void TestFrmScaling::init()
{
    FrmScaling::resetFactorsAcceptedForTest();
    p = std::make_unique<Program>();
}

void TestFrmScaling::cleanup()
{
    dlg.reset();
    p.reset();
    QLocale::setDefault(QLocale::c());
}

FrmScaling* TestFrmScaling::open()
{
    dlg = std::make_unique<FrmScaling>(p->services);
    p->dialog = dlg.get();
    dlg->show();
    dlg->activateWindow();
    if (!QTest::qWaitForWindowActive(dlg.get()))
        qWarning("dialog not active");
    return dlg.get();
}

void TestFrmScaling::pick(const char* comboName, int index)
{
    auto* combo = control<QComboBox>(dlg.get(), comboName);
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->isVisible());
}

void TestFrmScaling::type(QWidget* w, const QString& text)
{
    if (auto* combo = qobject_cast<QComboBox*>(w))
        w = combo->lineEdit();
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier); // typing replaces what was there
    if (text.isEmpty())
        QTest::keyClick(w, Qt::Key_Delete);
    else
        QTest::keyClicks(w, text);
}

void TestFrmScaling::chooseOption(int index)
{
    auto* option = control<QRadioButton>(dlg.get(), qPrintable(QStringLiteral("Option1_%1").arg(index)));
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    QVERIFY(option->isChecked());
}

void TestFrmScaling::clickOk()
{
    QTest::mouseClick(control<QPushButton>(dlg.get(), "Command1"), Qt::LeftButton);
}

void TestFrmScaling::controlsNamesAndLayout()
{
    open();
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Scale Factors"));
    // pixels per twip, widened alike when the font is larger than the small one the layout was drawn for
    const QFontMetrics fm(dlg->font());
    const double x = dlg->logicalDpiX() / 1440.0 * std::max(1.0, fm.averageCharWidth() / 5.0);
    const double y = dlg->logicalDpiY() / 1440.0 * std::max(1.0, fm.height() / 13.0);
    auto px = [&](int l, int t, int w, int h) {
        return QRect(qRound(l * x), qRound(t * y), qRound(w * x), qRound(h * y));
    };
    QCOMPARE(dlg->size(), px(0, 0, 4740, 6576).size());
    struct Expected {
        const char* name;
        QRect rect;
        const char* parent;
    };
    const Expected expected[] = {
        {"Frame4", px(120, 240, 4452, 5412), "FrmScaling"},
        {"Frame1", px(360, 360, 3735, 1215), "Frame4"},
        {"Label2_0", px(240, 360, 1455, 255), "Frame1"},
        {"Label2_1", px(240, 840, 1455, 255), "Frame1"},
        {"Combo1", px(1920, 240, 1452, 288), "Frame1"},
        {"Combo2", px(1920, 720, 1452, 288), "Frame1"},
        {"Frame2", px(360, 1920, 3735, 2655), "Frame4"},
        {"Option1_0", px(840, 360, 2415, 255), "Frame2"},
        {"Option1_1", px(840, 720, 2415, 255), "Frame2"},
        {"Option1_2", px(840, 1080, 2415, 255), "Frame2"},
        {"Option1_3", px(840, 1440, 2415, 255), "Frame2"},
        {"Option1_4", px(840, 1920, 2415, 255), "Frame2"},
        {"Text1", px(1080, 2160, 975, 285), "Frame2"},
        {"Label4", px(2160, 2160, 855, 375), "Frame2"},
        {"Reset", px(600, 4800, 612, 372), "Frame4"},
        {"Check1", px(1680, 4800, 2412, 372), "Frame4"},
        {"Command1", px(840, 6000, 1215, 375), "FrmScaling"},
        {"Command2", px(2640, 6000, 1215, 375), "FrmScaling"},
    };
    for (const Expected& e : expected) {
        QWidget* w = control<QWidget>(dlg.get(), e.name);
        QCOMPARE(w->geometry(), e.rect);
        QCOMPARE(w->parentWidget()->objectName(), QString::fromLatin1(e.parent));
    }
    QCOMPARE(control<QGroupBox>(dlg.get(), "Frame1")->title(), QStringLiteral("Choice of Units "));
    QCOMPARE(control<QGroupBox>(dlg.get(), "Frame2")->title(), QStringLiteral("Calibration Distance "));
    QVERIFY(control<QGroupBox>(dlg.get(), "Frame1")->font().bold());
    QVERIFY(!control<QLabel>(dlg.get(), "Label2_0")->font().bold());
    QCOMPARE(control<QGroupBox>(dlg.get(), "Frame4")->title(), QString());
    QCOMPARE(control<QLabel>(dlg.get(), "Label2_0")->text(), QStringLiteral("Calibration Units"));
    QCOMPARE(control<QLabel>(dlg.get(), "Label2_1")->text(), QStringLiteral("Other Named Units"));
    QCOMPARE(control<QPushButton>(dlg.get(), "Reset")->text(), QStringLiteral("Reset"));
    QCOMPARE(control<QCheckBox>(dlg.get(), "Check1")->text(), QStringLiteral("Overwrite Defaults on Exit"));
    QCOMPARE(control<QPushButton>(dlg.get(), "Command1")->text(), QStringLiteral("OK"));
    QCOMPARE(control<QPushButton>(dlg.get(), "Command2")->text(), QStringLiteral("Cancel"));
    QVERIFY(control<QPushButton>(dlg.get(), "Command1")->isDefault());
    // No caption is cut short, whatever font the desktop gives.
    for (const char* name : {"Label2_0", "Label2_1", "Check1"}) {
        auto* w = control<QWidget>(dlg.get(), name);
        QVERIFY2(w->sizeHint().width() <= w->width(), name);
    }
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->accessibleName(), QStringLiteral("Calibration Units"));
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo2")->accessibleName(), QStringLiteral("Other Named Units"));
    QVERIFY(!control<QLineEdit>(dlg.get(), "Text1")->accessibleName().isEmpty());
    for (const char* name : {"Combo1", "Combo2"}) {
        auto* combo = control<QComboBox>(dlg.get(), name);
        QVERIFY(combo->isEditable());
        QCOMPARE(combo->count(), 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(combo->itemText(i), UnitName(i));
    }
}

void TestFrmScaling::opensWithBuiltInDefaults()
{
    open();
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->currentText(), QStringLiteral("Kilometres"));
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo2")->currentText(), QStringLiteral("Miles"));
    const QStringList captions{"0.1 km", "1 km", "10 km", "100 km", "User-defined"};
    for (int i = 0; i < 5; ++i) {
        auto* option = control<QRadioButton>(dlg.get(), qPrintable(QStringLiteral("Option1_%1").arg(i)));
        QCOMPARE(option->text(), captions[i]);
        QCOMPARE(option->isChecked(), i == 1);
    }
    QVERIFY(!control<QLineEdit>(dlg.get(), "Text1")->isVisible());
    QVERIFY(!control<QLabel>(dlg.get(), "Label4")->isVisible());
    QCOMPARE(control<QLabel>(dlg.get(), "Label4")->text(), QStringLiteral("km"));
    QVERIFY(control<QPushButton>(dlg.get(), "Reset")->isEnabled());
    QVERIFY(control<QPushButton>(dlg.get(), "Command2")->isEnabled());
    QVERIFY(control<QCheckBox>(dlg.get(), "Check1")->isEnabled());
    QVERIFY(!control<QCheckBox>(dlg.get(), "Check1")->isChecked());
    QVERIFY(dlg->EditFactors());
    QVERIFY(same(*dlg->EditFactors(), ScaleFactors::builtInDefaults()));
}

void TestFrmScaling::opensOnStoredDistance_data()
{
    QTest::addColumn<float>("calFactor");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("text");

    QTest::newRow("6.7") << 6.7f << 4 << "6.7";
    QTest::newRow("2.50") << 2.50f << 4 << "2.5";
    QTest::newRow("0.1") << 0.1f << 0 << "";
    QTest::newRow("10") << 10.0f << 2 << "";
    QTest::newRow("100") << 100.0f << 3 << "";
    QTest::newRow("1000") << 1000.0f << 4 << "1000";
    QTest::newRow("one third") << 1.0f / 3.0f << 4 << "0.3333333";
    QTest::newRow("0.1 read back from the store") << *ParseStoredSingle("0.1") << 0 << "";
}

void TestFrmScaling::opensOnStoredDistance()
{
    QFETCH(float, calFactor);
    QFETCH(int, option);
    QFETCH(QString, text);
    p->DefaultFactors.setCalFactor(calFactor);
    open();
    for (int i = 0; i < 5; ++i)
        QCOMPARE(
            control<QRadioButton>(dlg.get(), qPrintable(QStringLiteral("Option1_%1").arg(i)))->isChecked(),
            i == option);
    auto* text1 = control<QLineEdit>(dlg.get(), "Text1");
    QCOMPARE(text1->text(), text);
    QCOMPARE(text1->isVisible(), option == 4);
    QCOMPARE(control<QLabel>(dlg.get(), "Label4")->isVisible(), option == 4);
    QCOMPARE(control<QLabel>(dlg.get(), "Label4")->text(), QStringLiteral("km"));
}

void TestFrmScaling::pickingPrimaryUnitChangesAbbreviation()
{
    p->DefaultFactors.setCalFactor(6.7f);
    open();
    pick("Combo1", 7);
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->currentText(), QStringLiteral("Miles"));
    QCOMPARE(control<QLabel>(dlg.get(), "Label4")->text(), QStringLiteral("ml"));
    const QStringList captions{"0.1 ml", "1 ml", "10 ml", "100 ml", "User-defined"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(control<QRadioButton>(dlg.get(), qPrintable(QStringLiteral("Option1_%1").arg(i)))->text(),
                 captions[i]);
    QVERIFY(control<QRadioButton>(dlg.get(), "Option1_4")->isChecked());
    QCOMPARE(control<QLineEdit>(dlg.get(), "Text1")->text(), QStringLiteral("6.7"));
    QCOMPARE(dlg->EditFactors()->Abbrev(), QStringLiteral("ml"));
    QCOMPARE(dlg->EditFactors()->Unit1(), QStringLiteral("Kilometres")); // until OK

    // The secondary list has no such handler.
    pick("Combo2", 0);
    QCOMPARE(control<QLabel>(dlg.get(), "Label4")->text(), QStringLiteral("ml"));
    QCOMPARE(dlg->EditFactors()->Abbrev(), QStringLiteral("ml"));
    QCOMPARE(dlg->EditFactors()->Unit2(), QStringLiteral("Miles"));
    QVERIFY(same(p->CurrentFactors, p->DefaultFactors));
}

void TestFrmScaling::typedUnitGivesSameRecordAsPicked()
{
    open();
    type(control<QComboBox>(dlg.get(), "Combo1"), "Miles");
    // Typing is no pick: the abbreviation follows only at OK.
    QCOMPARE(control<QLabel>(dlg.get(), "Label4")->text(), QStringLiteral("km"));
    QCOMPARE(control<QRadioButton>(dlg.get(), "Option1_1")->text(), QStringLiteral("1 km"));
    clickOk();
    QVERIFY(p->messages.shown.isEmpty());
    QVERIFY(same(p->CurrentFactors, record(7, 7, 1.0f)));
    QCOMPARE(p->CurrentFactors.Abbrev(), QStringLiteral("ml"));

    const ScaleFactors typed = p->CurrentFactors;

    FrmScaling::resetFactorsAcceptedForTest();
    dlg.reset();
    p = std::make_unique<Program>();
    open();
    pick("Combo1", 7);
    clickOk();
    QVERIFY(same(p->CurrentFactors, typed));
}

void TestFrmScaling::feetYardsUserDefined()
{
    open();
    pick("Combo1", 3);
    pick("Combo2", 4);
    chooseOption(4);
    QVERIFY(control<QLineEdit>(dlg.get(), "Text1")->isVisible());
    QCOMPARE(control<QLabel>(dlg.get(), "Label4")->text(), QStringLiteral("ft"));
    type(control<QLineEdit>(dlg.get(), "Text1"), "2.5");
    clickOk();

    QVERIFY(p->messages.shown.isEmpty());
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), int(QDialog::Accepted));
    QCOMPARE(p->CurrentFactors.Unit1(), QStringLiteral("Feet"));
    QCOMPARE(p->CurrentFactors.Unit2(), QStringLiteral("Yards"));
    QVERIFY(p->CurrentFactors.CalFactor() == 2.5f);
    QVERIFY(p->CurrentFactors.UnitFactor() == 3.0); // 914.4 / 304.8, exactly
    QCOMPARE(p->CurrentFactors.Abbrev(), QStringLiteral("ft"));
    QCOMPARE(p->meterCaptions, (QStringList{"Feet", "Yards"}));
    QCOMPARE(p->calibrations, 1);
    QVERIFY(!p->dialogVisibleAtCalibrate);
    QVERIFY(FrmScaling::FactorsAccepted());
    QVERIFY(same(p->DefaultFactors, ScaleFactors::builtInDefaults())); // not ticked
    QCOMPARE(p->store.writes, 0);
    QVERIFY(!dlg->EditFactors()); // released on closing
}

void TestFrmScaling::userDefinedRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString number = "User-defined value must contain a number";
    const QString positive = "User-defined value must be a positive number";
    const QString nonZero = "User-defined value must be positive and non-zero";
    QTest::newRow("empty") << "" << number;
    QTest::newRow("minus") << "-5" << positive;
    QTest::newRow("blank") << "2 5" << positive;
    QTest::newRow("comma") << "2,5" << positive;
    QTest::newRow("letter") << "5a" << positive;
    QTest::newRow("exponent") << "1e3" << positive;
    QTest::newRow("zero") << "0" << nonZero;
    QTest::newRow("0.000") << "0.000" << nonZero;
    QTest::newRow("point alone") << "." << number;
    QTest::newRow("two points") << "1.2.3" << positive;
    QTest::newRow("trailing points") << "5.." << positive;
    QTest::newRow("beyond single precision") << "1" + QString(39, '0') << positive;
    QTest::newRow("below single precision") << "0." + QString(50, '0') + "1" << nonZero;
}

void TestFrmScaling::userDefinedRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    open();
    chooseOption(4);
    auto* text1 = control<QLineEdit>(dlg.get(), "Text1");
    type(text1, text);
    QCOMPARE(text1->text(), text);
    QString shownWhileOpen = "not shown";
    p->messages.onShow = [&](const RecordingMessageBoxes::Shown&) { shownWhileOpen = text1->text(); };
    clickOk();

    QCOMPARE(p->messages.shown.size(), 1);
    QCOMPARE(p->messages.shown[0].title, QStringLiteral("Mapwheel"));
    QCOMPARE(p->messages.shown[0].text, message);
    QCOMPARE(p->messages.shown[0].icon, MessageIcon::Warning);
    QCOMPARE(shownWhileOpen, text); // emptied after the message
    QCOMPARE(text1->text(), QString());
    QTRY_VERIFY(text1->hasFocus());
    QVERIFY(dlg->isVisible());
    QVERIFY(dlg->EditFactors()->CalFactor() == 1.0f);
    QVERIFY(same(p->CurrentFactors, ScaleFactors::builtInDefaults()));
    QVERIFY(same(p->DefaultFactors, ScaleFactors::builtInDefaults()));
    QCOMPARE(p->calibrations, 0);
    QVERIFY(p->meterCaptions.isEmpty());
    QVERIFY(!FrmScaling::FactorsAccepted());
}

void TestFrmScaling::unitRefusedAsTyped_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<QString>("restored");

    const QString calibration = "Please check entry for Calibration Units";
    const QString other = "Please check entry for Other Named Units";
    QTest::newRow("kilometres") << "Combo1"
                                << "kilometres" << calibration << MessageIcon::None << "Kilometres";
    QTest::newRow("Miles with blank") << "Combo1"
                                      << "Miles " << calibration << MessageIcon::None << "Kilometres";
    QTest::newRow("abbreviation") << "Combo1"
                                  << "km" << calibration << MessageIcon::None << "Kilometres";
    QTest::newRow("empty") << "Combo1"
                           << "" << calibration << MessageIcon::None << "Kilometres";
    QTest::newRow("miles") << "Combo2"
                           << "miles" << other << MessageIcon::Warning << "Miles";
    QTest::newRow("FEET") << "Combo2"
                          << "FEET" << other << MessageIcon::Warning << "Miles";
}

void TestFrmScaling::unitRefusedAsTyped()
{
    QFETCH(QString, combo);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(MessageIcon, icon);
    QFETCH(QString, restored);
    open();
    auto* box = control<QComboBox>(dlg.get(), qPrintable(combo));
    type(box, typed);
    QTest::keyClick(box->lineEdit(), Qt::Key_Tab); // the focus leaves the box: the text stays as typed
    QCOMPARE(box->currentText(), typed);
    clickOk();

    QCOMPARE(p->messages.shown.size(), 1);
    QCOMPARE(p->messages.shown[0].title, QStringLiteral("Mapwheel"));
    QCOMPARE(p->messages.shown[0].text, message);
    QCOMPARE(p->messages.shown[0].icon, icon);
    QCOMPARE(box->currentText(), restored);
    QTRY_VERIFY(box->hasFocus());
    QVERIFY(dlg->isVisible());
    QVERIFY(same(p->CurrentFactors, ScaleFactors::builtInDefaults()));
    QCOMPARE(p->calibrations, 0);
    QVERIFY(p->meterCaptions.isEmpty());
}

void TestFrmScaling::storedUnitOutsideCatalogue()
{
    p->DefaultFactors.setUnit1("Furlongs");
    open();
    auto* combo1 = control<QComboBox>(dlg.get(), "Combo1");
    QCOMPARE(combo1->currentText(), QStringLiteral("Furlongs"));
    type(combo1, "Feet");
    QTest::keyClick(combo1->lineEdit(), Qt::Key_Tab);
    type(control<QComboBox>(dlg.get(), "Combo2"), "Leagues");
    clickOk();
    QCOMPARE(p->messages.shown.size(), 1);
    QCOMPARE(p->messages.shown[0].text, QStringLiteral("Please check entry for Other Named Units"));
    QCOMPARE(dlg->EditFactors()->Unit1(), QStringLiteral("Feet")); // passed its check
    QCOMPARE(combo1->currentText(), QStringLiteral("Feet"));

    // Reset brings back the stored name, which OK refuses.
    QTest::mouseClick(control<QPushButton>(dlg.get(), "Reset"), Qt::LeftButton);
    QCOMPARE(combo1->currentText(), QStringLiteral("Furlongs"));
    clickOk();
    QCOMPARE(p->messages.shown.size(), 2);
    QCOMPARE(p->messages.shown[1].text, QStringLiteral("Please check entry for Calibration Units"));
    QCOMPARE(p->messages.shown[1].icon, MessageIcon::None);
    QCOMPARE(combo1->currentText(), QStringLiteral("Furlongs"));
    QCOMPARE(p->calibrations, 0);
}

void TestFrmScaling::distanceCheckedBeforeUnits()
{
    open();
    chooseOption(4);
    type(control<QComboBox>(dlg.get(), "Combo1"), "Leagues");
    type(control<QComboBox>(dlg.get(), "Combo2"), "Chains");
    clickOk();
    QCOMPARE(p->messages.shown.size(), 1);
    QCOMPARE(p->messages.shown[0].text, QStringLiteral("User-defined value must contain a number"));
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->currentText(), QStringLiteral("Leagues"));

    type(control<QLineEdit>(dlg.get(), "Text1"), "3");
    clickOk();
    QCOMPARE(p->messages.shown.size(), 2);
    QCOMPARE(p->messages.shown[1].text, QStringLiteral("Please check entry for Calibration Units"));
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo2")->currentText(), QStringLiteral("Chains"));

    clickOk();
    QCOMPARE(p->messages.shown.size(), 3);
    QCOMPARE(p->messages.shown[2].text, QStringLiteral("Please check entry for Other Named Units"));
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo2")->currentText(), QStringLiteral("Miles"));
    QCOMPARE(p->calibrations, 0);

    clickOk();
    QCOMPARE(p->messages.shown.size(), 3);
    QVERIFY(same(p->CurrentFactors, record(6, 7, 3.0f)));
    QCOMPARE(p->calibrations, 1);
}

void TestFrmScaling::refusedUnitKeepsAcceptedDistance()
{
    open();
    chooseOption(4);
    type(control<QLineEdit>(dlg.get(), "Text1"), "2.5");
    type(control<QComboBox>(dlg.get(), "Combo1"), "kilo");

    // While the message box is up another window becomes active, as a real message box would.
    QWidget elsewhere;
    elsewhere.resize(100, 100);
    p->messages.onShow = [&](const RecordingMessageBoxes::Shown&) {
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(dlg.get(), &deactivate);
        elsewhere.hide();
        dlg->activateWindow();
    };
    clickOk();
    QCOMPARE(p->messages.shown.size(), 1);
    QVERIFY(dlg->isVisible());
    QVERIFY(dlg->EditFactors());
    QVERIFY(dlg->EditFactors()->CalFactor() == 2.5f);
    QVERIFY(control<QRadioButton>(dlg.get(), "Option1_4")->isChecked());
    QCOMPARE(control<QLineEdit>(dlg.get(), "Text1")->text(), QStringLiteral("2.5"));
    QVERIFY(p->CurrentFactors.CalFactor() == 1.0f);

    p->messages.onShow = nullptr;
    clickOk();
    QCOMPARE(p->messages.shown.size(), 1);
    QVERIFY(same(p->CurrentFactors, record(6, 7, 2.5f)));
}

void TestFrmScaling::presetDistanceKeptAfterRefusedUnit()
{
    open();
    chooseOption(2);
    type(control<QComboBox>(dlg.get(), "Combo2"), "Parsecs");
    clickOk();
    QCOMPARE(p->messages.shown.size(), 1);
    QVERIFY(dlg->EditFactors()->CalFactor() == 10.0f); // set by the passed distance check
    QVERIFY(p->CurrentFactors.CalFactor() == 1.0f);
    QTest::mouseClick(control<QPushButton>(dlg.get(), "Command2"), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QVERIFY(same(p->CurrentFactors, ScaleFactors::builtInDefaults()));
}

void TestFrmScaling::overwriteDefaults()
{
    open();
    pick("Combo1", 7);
    pick("Combo2", 0);
    chooseOption(0);
    QTest::mouseClick(control<QCheckBox>(dlg.get(), "Check1"), Qt::LeftButton);
    QVERIFY(control<QCheckBox>(dlg.get(), "Check1")->isChecked());
    clickOk();

    const ScaleFactors expected = record(7, 0, 0.1f);
    QVERIFY(same(p->CurrentFactors, expected));
    QVERIFY(same(p->DefaultFactors, expected));
    QCOMPARE(p->store.writes, 1);
    QCOMPARE(p->store.entries.value("Unit1"), QStringLiteral("Miles"));
    QCOMPARE(p->store.entries.value("Unit2"), QStringLiteral("Millimetres"));
    QCOMPARE(p->store.entries.value("CalFact"), QStringLiteral("0.1"));
    QCOMPARE(p->store.entries.value("UnitFact"), QStringLiteral("6.21371192237334E-07"));
    QCOMPARE(p->store.entries.value("Abbrev"), QStringLiteral("ml"));

    // The next start reads them back, and the dialog opens on the first option.
    Program next;
    next.store.entries = p->store.entries;
    ScaleFactors fresh;
    QVERIFY(ScaleSettings("Read", fresh, next.store, next.services.RaiseFatal));
    QVERIFY(same(fresh, expected));
    FrmScaling::resetFactorsAcceptedForTest();
    Equalise(p->DefaultFactors, fresh);
    open();
    QVERIFY(control<QRadioButton>(dlg.get(), "Option1_0")->isChecked());
    QCOMPARE(control<QRadioButton>(dlg.get(), "Option1_0")->text(), QStringLiteral("0.1 ml"));
    QVERIFY(!control<QLineEdit>(dlg.get(), "Text1")->isVisible());
}

void TestFrmScaling::withoutOverwriteRestartBringsOldDefaults()
{
    ScaleFactors saved = record(3, 4, 2.5f);
    QVERIFY(ScaleSettings("Write", saved, p->store, p->services.RaiseFatal));
    Equalise(p->DefaultFactors, saved);
    open();
    pick("Combo1", 5);
    clickOk();
    QCOMPARE(p->CurrentFactors.Unit1(), QStringLiteral("Metres"));
    QCOMPARE(p->store.writes, 1); // only the one above
    ScaleFactors restarted;
    QVERIFY(ScaleSettings("Read", restarted, p->store, p->services.RaiseFatal));
    QVERIFY(same(restarted, saved));
    QVERIFY(same(p->DefaultFactors, saved));
}

void TestFrmScaling::firstRunMode()
{
    p->FirstRun = ReadFirstRun(p->store);
    QVERIFY(p->FirstRun);
    open();
    QVERIFY(!control<QPushButton>(dlg.get(), "Reset")->isEnabled());
    QVERIFY(!control<QPushButton>(dlg.get(), "Command2")->isEnabled());
    QVERIFY(control<QCheckBox>(dlg.get(), "Check1")->isChecked());
    QVERIFY(!control<QCheckBox>(dlg.get(), "Check1")->isEnabled());

    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QVERIFY(dlg->isVisible());
    dlg->close();
    QVERIFY(dlg->isVisible());
    QCOMPARE(p->calibrations, 0);

    pick("Combo1", 5);
    pick("Combo2", 6);
    QTest::keyClick(control<QPushButton>(dlg.get(), "Command1"), Qt::Key_Return);
    QVERIFY(!dlg->isVisible());
    QVERIFY(!p->FirstRun);
    QVERIFY(!ReadFirstRun(p->store));
    QVERIFY(same(p->DefaultFactors, record(5, 6, 1.0f)));
    QCOMPARE(p->store.entries.value("UnitFact"), QStringLiteral("1000"));
    QCOMPARE(p->calibrations, 1);

    open(); // first-run mode has ended
    QVERIFY(control<QPushButton>(dlg.get(), "Reset")->isEnabled());
    QVERIFY(control<QPushButton>(dlg.get(), "Command2")->isEnabled());
    QVERIFY(!control<QCheckBox>(dlg.get(), "Check1")->isChecked());
    QVERIFY(control<QCheckBox>(dlg.get(), "Check1")->isEnabled());
}

void TestFrmScaling::resetThenCancel()
{
    open();
    pick("Combo1", 3);
    chooseOption(3);
    clickOk(); // CurrentFactors now Feet, 100 ft
    QCOMPARE(p->calibrations, 1);
    const ScaleFactors current = p->CurrentFactors;

    open();
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->currentText(), QStringLiteral("Feet"));
    QVERIFY(control<QRadioButton>(dlg.get(), "Option1_3")->isChecked());
    QCOMPARE(control<QRadioButton>(dlg.get(), "Option1_3")->text(), QStringLiteral("100 ft"));
    type(control<QComboBox>(dlg.get(), "Combo2"), "Yards");
    QTest::mouseClick(control<QPushButton>(dlg.get(), "Reset"), Qt::LeftButton);
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->currentText(), QStringLiteral("Kilometres"));
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo2")->currentText(), QStringLiteral("Miles"));
    QVERIFY(control<QRadioButton>(dlg.get(), "Option1_1")->isChecked());
    QCOMPARE(control<QRadioButton>(dlg.get(), "Option1_1")->text(), QStringLiteral("1 km"));
    QVERIFY(same(*dlg->EditFactors(), p->DefaultFactors));
    QVERIFY(same(p->CurrentFactors, current)); // nothing applied until OK

    QTest::mouseClick(control<QPushButton>(dlg.get(), "Command2"), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), int(QDialog::Rejected));
    QVERIFY(same(p->CurrentFactors, current));
    QCOMPARE(p->calibrations, 1);
}

void TestFrmScaling::untilFirstOkEveryOpeningStartsFromDefaults()
{
    Equalise(p->CurrentFactors, record(0, 1, 5.0f));
    open();
    QVERIFY(same(p->CurrentFactors, p->DefaultFactors)); // reset at opening
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->currentText(), QStringLiteral("Kilometres"));
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QVERIFY(!FrmScaling::FactorsAccepted());

    open();
    pick("Combo1", 2);
    clickOk();
    QVERIFY(FrmScaling::FactorsAccepted());
    Equalise(p->DefaultFactors, record(4, 4, 7.0f));
    open(); // now the confirmed values, not the defaults
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->currentText(), QStringLiteral("Inches"));
    QCOMPARE(p->CurrentFactors.Unit1(), QStringLiteral("Inches"));
}

void TestFrmScaling::reopeningReplacesUnconfirmedEdits()
{
    open();
    chooseOption(4);
    type(control<QLineEdit>(dlg.get(), "Text1"), "42");
    pick("Combo1", 0);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QVERIFY(!dlg->isVisible());
    QVERIFY(!dlg->EditFactors());

    dlg->show(); // the same dialog opened again
    QVERIFY(dlg->EditFactors());
    QVERIFY(control<QRadioButton>(dlg.get(), "Option1_1")->isChecked());
    QCOMPARE(control<QLineEdit>(dlg.get(), "Text1")->text(), QString());
    QVERIFY(!control<QLineEdit>(dlg.get(), "Text1")->isVisible());
    QCOMPARE(control<QComboBox>(dlg.get(), "Combo1")->currentText(), QStringLiteral("Kilometres"));
    QCOMPARE(control<QLabel>(dlg.get(), "Label4")->text(), QStringLiteral("km"));
}

void TestFrmScaling::enterIsOkEscapeIsCancel()
{
    open();
    chooseOption(4);
    type(control<QLineEdit>(dlg.get(), "Text1"), "6.7");
    QTest::keyClick(control<QLineEdit>(dlg.get(), "Text1"), Qt::Key_Escape);
    QVERIFY(!dlg->isVisible());
    QVERIFY(same(p->CurrentFactors, ScaleFactors::builtInDefaults()));
    QCOMPARE(p->calibrations, 0);

    open();
    chooseOption(4);
    type(control<QLineEdit>(dlg.get(), "Text1"), "6.7");
    type(control<QComboBox>(dlg.get(), "Combo1"), "Metres");
    QTest::keyClick(control<QComboBox>(dlg.get(), "Combo1")->lineEdit(), Qt::Key_Return);
    QVERIFY(!dlg->isVisible());
    QVERIFY(p->messages.shown.isEmpty());
    QVERIFY(same(p->CurrentFactors, record(5, 7, 6.7f)));
    QCOMPARE(p->calibrations, 1);
}

void TestFrmScaling::windowCloseChangesNothing()
{
    open();
    pick("Combo1", 4);
    dlg->close();
    QVERIFY(!dlg->isVisible());
    QVERIFY(!dlg->EditFactors());
    QVERIFY(same(p->CurrentFactors, ScaleFactors::builtInDefaults()));
    QCOMPARE(p->calibrations, 0);
    QVERIFY(p->meterCaptions.isEmpty());
}

void TestFrmScaling::okAlwaysCalibrates()
{
    open();
    clickOk();
    QCOMPARE(p->calibrations, 1);
    QCOMPARE(p->meterCaptions, (QStringList{"Kilometres", "Miles"}));
    QVERIFY(same(p->CurrentFactors, ScaleFactors::builtInDefaults()));
    QVERIFY(p->fatal.isEmpty());
}

void TestFrmScaling::unwritableStoreDoesNotEndProgram()
{
    p->FirstRun = true;
    p->store.readOnly = true;
    p->store.entries.insert("File1", "/maps/a.gif");
    open();
    pick("Combo1", 3);
    clickOk();
    QVERIFY(!dlg->isVisible());
    QCOMPARE(p->store.writes, 1);
    QCOMPARE(p->store.entries.size(), 1);
    QVERIFY(p->fatal.isEmpty());
    QCOMPARE(p->calibrations, 1);
    QCOMPARE(p->DefaultFactors.Unit1(), QStringLiteral("Feet"));
}

void TestFrmScaling::commaLocale()
{
    QLocale::setDefault(QLocale(QLocale::German));
    QCOMPARE(UserDecimalPoint(), QStringLiteral(","));
    p->DefaultFactors.setCalFactor(2.5f);
    open();
    auto* text1 = control<QLineEdit>(dlg.get(), "Text1");
    QCOMPARE(text1->text(), QStringLiteral("2,5")); // the user's separator on screen
    type(text1, "6,7");
    QTest::mouseClick(control<QCheckBox>(dlg.get(), "Check1"), Qt::LeftButton);
    clickOk();
    QVERIFY(p->messages.shown.isEmpty());
    QVERIFY(p->CurrentFactors.CalFactor() == 6.7f);
    QCOMPARE(p->store.entries.value("CalFact"), QStringLiteral("6.7")); // a point in the store
    QCOMPARE(p->store.entries.value("UnitFact"), QStringLiteral("1.609344"));

    ScaleFactors restarted;
    QVERIFY(ScaleSettings("Read", restarted, p->store, p->services.RaiseFatal));
    QVERIFY(restarted.CalFactor() == 6.7f);
    QVERIFY(restarted.UnitFactor() == 1.609344);

    // A point typed in a comma locale is read as the decimal point as well.
    open();
    type(control<QLineEdit>(dlg.get(), "Text1"), "0.25");
    clickOk();
    QVERIFY(p->messages.shown.isEmpty());
    QVERIFY(p->CurrentFactors.CalFactor() == 0.25f);
}

void TestFrmScaling::getComboIndex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("Miles") << "Miles" << 7;
    QTest::newRow("Feet") << "Feet" << 3;
    QTest::newRow("Millimetres") << "Millimetres" << 0;
    QTest::newRow("miles") << "miles" << 0;
    QTest::newRow("Miles with blank") << "Miles " << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestFrmScaling::getComboIndex()
{
    QFETCH(QString, text);
    QFETCH(int, index);
    open();
    auto* combo = control<QComboBox>(dlg.get(), "Combo2");
    type(combo, text);
    QCOMPARE(int(FrmScaling::GetComboIndex(combo)), index);
    // The edit text counts, not the item last picked.
    pick("Combo2", 5);
    type(combo, text);
    QCOMPARE(int(FrmScaling::GetComboIndex(combo)), index);
}

void TestFrmScaling::showModalRunsAndReturns()
{
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    QCOMPARE(FrmScaling::showModal(p->services, nullptr), int(QDialog::Rejected));
    QCOMPARE(p->calibrations, 0);

    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        QTest::mouseClick(modal->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
    QCOMPARE(FrmScaling::showModal(p->services, nullptr), int(QDialog::Accepted));
    QCOMPARE(p->calibrations, 1);
}

QTEST_MAIN(TestFrmScaling)
#include "tst_frmscaling.moc"
