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

template <class T> T* control(QWidget* dialog, const QString& name)
{
    T* w = dialog->findChild<T*>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

const ScaleFactors builtIn = ScaleFactors::builtInDefaults();
const QString needNumber = "User-defined value must contain a number";
const QString needPositive = "User-defined value must be a positive number";
const QString needNonZero = "User-defined value must be positive and non-zero";
const QString checkCalibration = "Please check entry for Calibration Units";
const QString checkOther = "Please check entry for Other Named Units";
} // namespace

class TestFrmScaling : public QObject
{
    Q_OBJECT
private:
    void clickOk() { QTest::mouseClick(button("Command1"), Qt::LeftButton); }
    QComboBox* combo(int n) { return control<QComboBox>(dlg.get(), QStringLiteral("Combo%1").arg(n)); }
    QRadioButton* option(int i)
    {
        return control<QRadioButton>(dlg.get(), QStringLiteral("Option1_%1").arg(i));
    }
    QPushButton* button(const char* name) { return control<QPushButton>(dlg.get(), name); }
    QLineEdit* text1() { return control<QLineEdit>(dlg.get(), "Text1"); }
    QLabel* label4() { return control<QLabel>(dlg.get(), "Label4"); }
    QCheckBox* check1() { return control<QCheckBox>(dlg.get(), "Check1"); }
    std::unique_ptr<Program> p;
    std::unique_ptr<FrmScaling> dlg;

    FrmScaling* open()
    {
        dlg = std::make_unique<FrmScaling>(p->services);
        p->dialog = dlg.get();
        dlg->show();
        dlg->activateWindow();
        if (!QTest::qWaitForWindowActive(dlg.get()))
            qWarning("dialog not active");
        return dlg.get();
    }

    void pick(int comboNumber, int index)
    {
        QComboBox* box = combo(comboNumber);
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex item = view->model()->index(index, 0);
        view->scrollTo(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
        QTRY_VERIFY(!view->isVisible());
    }

    void type(QWidget* w, const QString& text)
    {
        if (auto* box = qobject_cast<QComboBox*>(w))
            w = box->lineEdit();
        w->setFocus();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier); // typing replaces what was there
        if (text.isEmpty())
            QTest::keyClick(w, Qt::Key_Delete);
        else
            QTest::keyClicks(w, text);
    }

    void chooseOption(int index)
    {
        QRadioButton* o = option(index);
        QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(6, o->height() / 2));
        QVERIFY(o->isChecked());
    }

    void expectMessage(qsizetype count, const QString& text, MessageIcon icon)
    {
        QCOMPARE(p->messages.shown.size(), count);
        QCOMPARE(p->messages.shown.last().title, QStringLiteral("Mapwheel"));
        QCOMPARE(p->messages.shown.last().text, text);
        QCOMPARE(p->messages.shown.last().icon, icon);
    }

    // Captions follow the abbreviation; the box and its label show exactly with "User-defined".
    void checkOptions(const QString& abbrev, int selected)
    {
        const QStringList captions{"0.1 " + abbrev, "1 " + abbrev, "10 " + abbrev, "100 " + abbrev,
                                   "User-defined"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(option(i)->text(), captions[i]);
            QCOMPARE(option(i)->isChecked(), i == selected);
        }
        QCOMPARE(label4()->text(), abbrev);
        QCOMPARE(text1()->isVisible(), selected == 4);
        QCOMPARE(label4()->isVisible(), selected == 4);
    }

    void checkFirstRunControls(bool firstRun)
    {
        QCOMPARE(button("Reset")->isEnabled(), !firstRun);
        QCOMPARE(button("Command2")->isEnabled(), !firstRun);
        QCOMPARE(check1()->isChecked(), firstRun);
        QCOMPARE(check1()->isEnabled(), !firstRun);
    }

private slots:
    void init()
    {
        FrmScaling::resetFactorsAcceptedForTest();
        p = std::make_unique<Program>();
    }

    void cleanup()
    {
        dlg.reset();
        p.reset();
        QLocale::setDefault(QLocale::c());
    }

    void controlsNamesAndLayout()
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
            const char* caption; // frame title or text; nullptr where another test looks at it
        };
        const Expected expected[] = {
            {"Frame4", px(120, 240, 4452, 5412), "FrmScaling", ""},
            {"Frame1", px(360, 360, 3735, 1215), "Frame4", "Choice of Units "},
            {"Label2_0", px(240, 360, 1455, 255), "Frame1", "Calibration Units"},
            {"Label2_1", px(240, 840, 1455, 255), "Frame1", "Other Named Units"},
            {"Combo1", px(1920, 240, 1452, 288), "Frame1", nullptr},
            {"Combo2", px(1920, 720, 1452, 288), "Frame1", nullptr},
            {"Frame2", px(360, 1920, 3735, 2655), "Frame4", "Calibration Distance "},
            {"Option1_0", px(840, 360, 2415, 255), "Frame2", nullptr},
            {"Option1_1", px(840, 720, 2415, 255), "Frame2", nullptr},
            {"Option1_2", px(840, 1080, 2415, 255), "Frame2", nullptr},
            {"Option1_3", px(840, 1440, 2415, 255), "Frame2", nullptr},
            {"Option1_4", px(840, 1920, 2415, 255), "Frame2", nullptr},
            {"Text1", px(1080, 2160, 975, 285), "Frame2", nullptr},
            {"Label4", px(2160, 2160, 855, 375), "Frame2", nullptr},
            {"Reset", px(600, 4800, 612, 372), "Frame4", "Reset"},
            {"Check1", px(1680, 4800, 2412, 372), "Frame4", "Overwrite Defaults on Exit"},
            {"Command1", px(840, 6000, 1215, 375), "FrmScaling", "OK"},
            {"Command2", px(2640, 6000, 1215, 375), "FrmScaling", "Cancel"},
        };
        for (const Expected& e : expected) {
            QWidget* w = control<QWidget>(dlg.get(), e.name);
            QCOMPARE(w->geometry(), e.rect);
            QCOMPARE(w->parentWidget()->objectName(), QString::fromLatin1(e.parent));
            if (e.caption)
                QCOMPARE(w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString(),
                         QString::fromLatin1(e.caption));
        }
        QVERIFY(control<QGroupBox>(dlg.get(), "Frame1")->font().bold());
        QVERIFY(!control<QLabel>(dlg.get(), "Label2_0")->font().bold());
        QVERIFY(button("Command1")->isDefault());
        // No caption is cut short, whatever font the desktop gives.
        for (const char* name : {"Label2_0", "Label2_1", "Check1"}) {
            auto* w = control<QWidget>(dlg.get(), name);
            QVERIFY2(w->sizeHint().width() <= w->width(), name);
        }
        QCOMPARE(combo(1)->accessibleName(), QStringLiteral("Calibration Units"));
        QCOMPARE(combo(2)->accessibleName(), QStringLiteral("Other Named Units"));
        QVERIFY(!text1()->accessibleName().isEmpty());
        for (int n : {1, 2}) {
            QVERIFY(combo(n)->isEditable());
            QCOMPARE(combo(n)->count(), 8);
            for (int i = 0; i < 8; ++i)
                QCOMPARE(combo(n)->itemText(i), UnitName(i));
        }
    }

    void opensOnStoredDistance_data()
    {
        QTest::addColumn<float>("calFactor");
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("text");

        QTest::newRow("built-in 1") << 1.0f << 1 << "";
        QTest::newRow("6.7") << 6.7f << 4 << "6.7";
        QTest::newRow("2.50") << 2.50f << 4 << "2.5";
        QTest::newRow("0.1") << 0.1f << 0 << "";
        QTest::newRow("10") << 10.0f << 2 << "";
        QTest::newRow("100") << 100.0f << 3 << "";
        QTest::newRow("1000") << 1000.0f << 4 << "1000";
        QTest::newRow("one third") << 1.0f / 3.0f << 4 << "0.3333333";
        QTest::newRow("0.1 read back from the store") << *ParseStoredSingle("0.1") << 0 << "";
    }

    void opensOnStoredDistance()
    {
        QFETCH(float, calFactor);
        QFETCH(int, option);
        QFETCH(QString, text);
        p->DefaultFactors.setCalFactor(calFactor);
        open();
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Kilometres"));
        QCOMPARE(combo(2)->currentText(), QStringLiteral("Miles"));
        checkOptions("km", option);
        QCOMPARE(text1()->text(), text);
        checkFirstRunControls(false);
        QVERIFY(dlg->EditFactors());
        QCOMPARE(*dlg->EditFactors(), p->DefaultFactors);
    }

    void pickingPrimaryUnitChangesAbbreviation()
    {
        p->DefaultFactors.setCalFactor(6.7f);
        open();
        pick(1, 7);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Miles"));
        checkOptions("ml", 4); // the selected distance stays selected
        QCOMPARE(text1()->text(), QStringLiteral("6.7"));
        QCOMPARE(dlg->EditFactors()->Abbrev(), QStringLiteral("ml"));
        QCOMPARE(dlg->EditFactors()->Unit1(), QStringLiteral("Kilometres")); // until OK

        // The secondary list has no such handler.
        pick(2, 0);
        QCOMPARE(label4()->text(), QStringLiteral("ml"));
        QCOMPARE(dlg->EditFactors()->Abbrev(), QStringLiteral("ml"));
        QCOMPARE(dlg->EditFactors()->Unit2(), QStringLiteral("Miles"));
        QCOMPARE(p->CurrentFactors, p->DefaultFactors);
    }

    void feetYardsUserDefined()
    {
        open();
        pick(1, 3);
        pick(2, 4);
        chooseOption(4);
        QVERIFY(text1()->isVisible());
        QCOMPARE(label4()->text(), QStringLiteral("ft"));
        type(text1(), "2.5");
        clickOk();

        QVERIFY(p->messages.shown.isEmpty());
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(p->CurrentFactors, ScaleFactors::forUnits(3, 4, 2.5f));
        QVERIFY(p->CurrentFactors.UnitFactor() == 3.0); // 914.4 / 304.8, exactly
        QCOMPARE(p->CurrentFactors.Abbrev(), QStringLiteral("ft"));
        QCOMPARE(p->meterCaptions, (QStringList{"Feet", "Yards"}));
        QCOMPARE(p->calibrations, 1);
        QVERIFY(!p->dialogVisibleAtCalibrate);
        QVERIFY(FrmScaling::FactorsAccepted());
        QCOMPARE(p->DefaultFactors, builtIn); // not ticked
        QCOMPARE(p->store.writes, 0);
        QVERIFY(!dlg->EditFactors()); // released on closing
    }

    // Each refusal: its message, the field emptied or set back and focused, the dialog open, nothing applied.
    void okRefused_data()
    {
        QTest::addColumn<int>("field"); // 0: the user-defined box, 1 and 2: the unit boxes
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("after");

        auto row = [](const char* name, int field, const QString& typed, const QString& message) {
            QTest::newRow(name) << field << typed << message
                                << (field == 0   ? QString()
                                    : field == 1 ? "Kilometres"
                                                 : "Miles");
        };
        row("empty", 0, "", needNumber);
        row("minus", 0, "-5", needPositive);
        row("blank", 0, "2 5", needPositive);
        row("comma", 0, "2,5", needPositive);
        row("letter", 0, "5a", needPositive);
        row("exponent", 0, "1e3", needPositive);
        row("zero", 0, "0", needNonZero);
        row("0.000", 0, "0.000", needNonZero);
        row("point alone", 0, ".", needNumber);
        row("two points", 0, "1.2.3", needPositive);
        row("trailing points", 0, "5..", needPositive);
        row("beyond single precision", 0, "1" + QString(39, '0'), needPositive);
        row("below single precision", 0, "0." + QString(50, '0') + "1", needNonZero);
        row("kilometres", 1, "kilometres", checkCalibration);
        row("Miles with blank", 1, "Miles ", checkCalibration);
        row("abbreviation", 1, "km", checkCalibration);
        row("empty unit", 1, "", checkCalibration);
        row("miles", 2, "miles", checkOther);
        row("FEET", 2, "FEET", checkOther);
    }

    void okRefused()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, after);
        open();
        if (field == 0)
            chooseOption(4);
        QWidget* box = field == 0 ? static_cast<QWidget*>(text1()) : combo(field);
        QLineEdit* edit = field == 0 ? text1() : combo(field)->lineEdit();
        type(box, typed);
        QTest::keyClick(edit, Qt::Key_Tab); // the focus leaves the box: the text stays as typed
        QCOMPARE(edit->text(), typed);
        QString shownWhileOpen = "not shown";
        p->messages.onShow = [&](const RecordingMessageBoxes::Shown&) { shownWhileOpen = edit->text(); };
        clickOk();

        // The message for Calibration Units alone has no icon.
        expectMessage(1, message, field == 1 ? MessageIcon::None : MessageIcon::Warning);
        if (field == 0)
            QCOMPARE(shownWhileOpen, typed); // emptied after the message
        QCOMPARE(edit->text(), after);
        QTRY_VERIFY(box->hasFocus());
        QVERIFY(dlg->isVisible());
        QVERIFY(dlg->EditFactors()->CalFactor() == 1.0f);
        QCOMPARE(p->CurrentFactors, builtIn);
        QCOMPARE(p->DefaultFactors, builtIn);
        QCOMPARE(p->calibrations, 0);
        QVERIFY(p->meterCaptions.isEmpty());
        QVERIFY(!FrmScaling::FactorsAccepted());
    }

    // One fault per OK, in field order; a refused unit box shows EditFactors' unit again, even one
    // from the store that is not in the catalogue.
    void faultsOneAtATime()
    {
        p->DefaultFactors.setUnit1("Furlongs");
        open();
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Furlongs"));
        chooseOption(4);
        type(combo(1), "Leagues");
        type(combo(2), "Chains");
        clickOk();
        expectMessage(1, needNumber, MessageIcon::Warning);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Leagues"));

        type(text1(), "3");
        clickOk();
        expectMessage(2, checkCalibration, MessageIcon::None);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Furlongs"));
        QCOMPARE(combo(2)->currentText(), QStringLiteral("Chains"));

        type(combo(1), "Feet");
        QTest::keyClick(combo(1)->lineEdit(), Qt::Key_Tab);
        clickOk();
        expectMessage(3, checkOther, MessageIcon::Warning);
        QCOMPARE(dlg->EditFactors()->Unit1(), QStringLiteral("Feet")); // passed its check
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Feet"));
        QCOMPARE(combo(2)->currentText(), QStringLiteral("Miles"));

        // Reset brings back the stored name, which OK refuses.
        QTest::mouseClick(button("Reset"), Qt::LeftButton);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Furlongs"));
        clickOk();
        expectMessage(4, checkCalibration, MessageIcon::None);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Furlongs"));
        QCOMPARE(p->calibrations, 0);

        pick(1, 6);
        clickOk();
        QCOMPARE(p->messages.shown.size(), 4);
        QCOMPARE(p->CurrentFactors, ScaleFactors::forUnits(6, 7, 1.0f));
        QCOMPARE(p->calibrations, 1);
    }

    void refusedUnitKeepsPassedDistance_data()
    {
        QTest::addColumn<int>("optionIndex");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("badCombo");
        QTest::addColumn<float>("calFactor");
        QTest::addColumn<bool>("thenCancel");

        QTest::newRow("user-defined 2.5, bad primary, then OK") << 4 << "2.5" << 1 << 2.5f << false;
        QTest::newRow("10, bad secondary, then Cancel") << 2 << "" << 2 << 10.0f << true;
    }

    // A message box takes the activation from the dialog; that must not count as closing it.
    void refusedUnitKeepsPassedDistance()
    {
        QFETCH(int, optionIndex);
        QFETCH(QString, text);
        QFETCH(int, badCombo);
        QFETCH(float, calFactor);
        QFETCH(bool, thenCancel);
        open();
        chooseOption(optionIndex);
        if (!text.isEmpty())
            type(text1(), text);
        type(combo(badCombo), "Parsecs");

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
        QVERIFY(dlg->EditFactors()->CalFactor() == calFactor); // set by the passed distance check
        QVERIFY(option(optionIndex)->isChecked());
        QCOMPARE(text1()->text(), text);
        QVERIFY(p->CurrentFactors.CalFactor() == 1.0f);

        p->messages.onShow = nullptr;
        if (thenCancel) {
            QTest::mouseClick(button("Command2"), Qt::LeftButton);
            QVERIFY(!dlg->isVisible());
            QCOMPARE(p->CurrentFactors, builtIn);
        } else {
            clickOk();
            QCOMPARE(p->messages.shown.size(), 1);
            QCOMPARE(p->CurrentFactors, ScaleFactors::forUnits(6, 7, calFactor));
        }
    }

    void overwriteDefaults_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("ticked") << true << false;
        QTest::newRow("not ticked") << false << false;
        QTest::newRow("ticked, store cannot be written") << true << true;
    }

    void overwriteDefaults()
    {
        QFETCH(bool, tick);
        QFETCH(bool, readOnly);
        ScaleFactors saved = ScaleFactors::forUnits(3, 4, 2.5f);
        QVERIFY(ScaleSettings("Write", saved, p->store, p->services.RaiseFatal));
        Equalise(p->DefaultFactors, saved);
        p->store.readOnly = readOnly;
        open();
        pick(1, 7);
        pick(2, 0);
        chooseOption(0);
        if (tick)
            QTest::mouseClick(check1(), Qt::LeftButton);
        QCOMPARE(check1()->isChecked(), tick);
        clickOk();

        const ScaleFactors chosen = ScaleFactors::forUnits(7, 0, 0.1f);
        QVERIFY(!dlg->isVisible());
        QVERIFY(p->fatal.isEmpty()); // a store that cannot be written does not end the program
        QCOMPARE(p->calibrations, 1);
        QCOMPARE(p->CurrentFactors, chosen);
        QCOMPARE(p->DefaultFactors, tick ? chosen : saved);
        QCOMPARE(p->store.writes, tick ? 2 : 1);

        // The next start reads the store into a new DefaultFactors and the dialog opens on it.
        const bool kept = tick && !readOnly;
        ScaleFactors fresh;
        QVERIFY(ScaleSettings("Read", fresh, p->store, p->services.RaiseFatal));
        QCOMPARE(fresh, kept ? chosen : saved);
        FrmScaling::resetFactorsAcceptedForTest();
        Equalise(p->DefaultFactors, fresh);
        open();
        checkOptions(kept ? "ml" : "ft", kept ? 0 : 4); // 0.1 read back is the first option
        QCOMPARE(text1()->text(), kept ? QString() : QStringLiteral("2.5"));
    }

    void firstRunMode()
    {
        p->FirstRun = ReadFirstRun(p->store);
        QVERIFY(p->FirstRun);
        open();
        checkFirstRunControls(true);

        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(dlg->isVisible());
        dlg->close();
        QVERIFY(dlg->isVisible());
        QCOMPARE(p->calibrations, 0);

        pick(1, 5);
        pick(2, 6);
        QTest::keyClick(button("Command1"), Qt::Key_Return);
        QVERIFY(!dlg->isVisible());
        QVERIFY(!p->FirstRun);
        QVERIFY(!ReadFirstRun(p->store));
        QCOMPARE(p->DefaultFactors, ScaleFactors::forUnits(5, 6, 1.0f));
        QCOMPARE(p->store.entries.value("UnitFact"), QStringLiteral("1000"));
        QCOMPARE(p->calibrations, 1);

        open(); // first-run mode has ended
        checkFirstRunControls(false);
    }

    // Until the first OK every opening starts from the defaults, afterwards from the values confirmed.
    // Reset shows the defaults; Cancel applies nothing.
    void openingResetAndCancel()
    {
        Equalise(p->CurrentFactors, ScaleFactors::forUnits(0, 1, 5.0f));
        open();
        QCOMPARE(p->CurrentFactors, p->DefaultFactors); // reset at opening
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Kilometres"));
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(!FrmScaling::FactorsAccepted());

        open();
        pick(1, 3);
        chooseOption(3);
        clickOk();
        QVERIFY(FrmScaling::FactorsAccepted());
        const ScaleFactors current = p->CurrentFactors; // Feet, 100 ft
        Equalise(p->DefaultFactors, ScaleFactors::forUnits(4, 4, 7.0f));
        open();
        QCOMPARE(p->CurrentFactors, current);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Feet"));
        checkOptions("ft", 3);

        type(combo(2), "Miles");
        QTest::mouseClick(button("Reset"), Qt::LeftButton);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Yards"));
        QCOMPARE(combo(2)->currentText(), QStringLiteral("Yards"));
        checkOptions("yd", 4);
        QCOMPARE(text1()->text(), QStringLiteral("7"));
        QCOMPARE(*dlg->EditFactors(), p->DefaultFactors);
        QCOMPARE(p->CurrentFactors, current); // nothing applied until OK

        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QCOMPARE(p->CurrentFactors, current);
        QCOMPARE(p->calibrations, 1);
    }

    void closingDropsUnconfirmedEdits_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("window close") << false;
    }

    void closingDropsUnconfirmedEdits()
    {
        QFETCH(bool, escape);
        open();
        chooseOption(4);
        type(text1(), "42");
        pick(1, 0);
        if (escape)
            QTest::keyClick(text1(), Qt::Key_Escape);
        else
            dlg->close();
        QVERIFY(!dlg->isVisible());
        QVERIFY(!dlg->EditFactors());
        QCOMPARE(p->CurrentFactors, builtIn);
        QCOMPARE(p->calibrations, 0);
        QVERIFY(p->meterCaptions.isEmpty());

        dlg->show(); // the same dialog opened again
        QVERIFY(dlg->EditFactors());
        QCOMPARE(combo(1)->currentText(), QStringLiteral("Kilometres"));
        checkOptions("km", 1);
        QCOMPARE(text1()->text(), QString());
    }

    void okAlwaysCalibrates()
    {
        open();
        clickOk(); // nothing changed
        QCOMPARE(p->calibrations, 1);
        QCOMPARE(p->meterCaptions, (QStringList{"Kilometres", "Miles"}));
        QCOMPARE(p->CurrentFactors, builtIn);

        // A unit typed, not picked, and Enter in its box for OK.
        open();
        chooseOption(4);
        type(text1(), "6.7");
        type(combo(1), "Miles");
        checkOptions("km", 4); // typing is no pick: the abbreviation follows only at OK
        QTest::keyClick(combo(1)->lineEdit(), Qt::Key_Return);
        QVERIFY(!dlg->isVisible());
        QVERIFY(p->messages.shown.isEmpty());
        QCOMPARE(p->CurrentFactors, ScaleFactors::forUnits(7, 7, 6.7f));
        QCOMPARE(p->CurrentFactors.Abbrev(), QStringLiteral("ml"));
        QCOMPARE(p->meterCaptions, (QStringList{"Miles", "Miles"}));
        QCOMPARE(p->calibrations, 2);
        QVERIFY(p->fatal.isEmpty());
    }

    void commaLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(UserDecimalPoint(), QStringLiteral(","));
        p->DefaultFactors.setCalFactor(2.5f);
        open();
        QCOMPARE(text1()->text(), QStringLiteral("2,5")); // the user's separator on screen
        type(text1(), "6,7");
        QTest::mouseClick(check1(), Qt::LeftButton);
        clickOk();
        QVERIFY(p->messages.shown.isEmpty());
        QVERIFY(p->CurrentFactors.CalFactor() == 6.7f);
        QCOMPARE(p->store.entries.value("CalFact"), QStringLiteral("6.7")); // a point in the store
        ScaleFactors restarted;
        QVERIFY(ScaleSettings("Read", restarted, p->store, p->services.RaiseFatal));
        QCOMPARE(restarted, p->CurrentFactors);

        // A point typed in a comma locale is read as the decimal point as well.
        open();
        type(text1(), "0.25");
        clickOk();
        QVERIFY(p->messages.shown.isEmpty());
        QVERIFY(p->CurrentFactors.CalFactor() == 0.25f);
    }

    void getComboIndex_data()
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

    void getComboIndex()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        open();
        type(combo(2), text);
        QCOMPARE(int(FrmScaling::GetComboIndex(combo(2))), index);
        // The edit text counts, not the item last picked.
        pick(2, 5);
        type(combo(2), text);
        QCOMPARE(int(FrmScaling::GetComboIndex(combo(2))), index);
    }

    void showModalRunsAndReturns()
    {
        auto answer = [](bool ok) {
            QTimer::singleShot(0, [ok] {
                QWidget* modal = QApplication::activeModalWidget();
                QVERIFY(modal);
                if (ok)
                    QTest::mouseClick(modal->findChild<QPushButton*>("Command1"), Qt::LeftButton);
                else
                    QTest::keyClick(modal, Qt::Key_Escape);
            });
        };
        answer(false);
        QCOMPARE(FrmScaling::showModal(p->services, nullptr), int(QDialog::Rejected));
        QCOMPARE(p->calibrations, 0);
        answer(true);
        QCOMPARE(FrmScaling::showModal(p->services, nullptr), int(QDialog::Accepted));
        QCOMPARE(p->calibrations, 1);
    }
};

QTEST_MAIN(TestFrmScaling)
#include "tst_frmscaling.moc"
