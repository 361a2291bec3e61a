#include "frmscaling.h"

#include <QFontMetrics>
#include <algorithm>

#include "numbertext.h"
#include "scalesettings.h"
#include "unitcatalogue.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <cfloat>

bool FrmScaling::s_factorsAccepted = false;

namespace
{
constexpr double TwipsPerInch = 1440.0;

// The calibration distances of options 0 to 3, in the primary unit.
constexpr std::array<float, 4> OptionDistances{0.1f, 1.0f, 10.0f, 100.0f};
constexpr std::array<const char*, 4> OptionPrefixes{"0.1 ", "1 ", "10 ", "100 "};
constexpr int UserDefined = 4;

// Shows text without it counting as a pick from the list (no activated signal).
void setComboText(QComboBox* combo, const QString& text)
{
    combo->setCurrentIndex(UnitIndexOf(text));
    combo->setEditText(text);
}

QComboBox* makeUnitCombo(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 0; i < UnitCount; ++i)
        combo->addItem(UnitName(i));
    // The OK checks must see the text exactly as the user typed it. Qt's editable combo box would
    // complete it case-insensitively and, when editing finishes, replace it by a list item that differs
    // only in case ("kilometres" becoming "Kilometres") and report that as a pick from the list.
    combo->setCompleter(nullptr);
    QLineEdit* edit = combo->lineEdit();
    QObject::disconnect(edit, &QLineEdit::editingFinished, combo, nullptr);
    QObject::disconnect(edit, &QLineEdit::returnPressed, combo, nullptr);
    return combo;
}
} // namespace

FrmScaling::FrmScaling(ScalingServices& services, QWidget* parent) : QDialog(parent), m_services(services)
{
    setObjectName(QStringLiteral("FrmScaling"));
    setWindowTitle(QStringLiteral("Scale Factors"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    buildControls();
}

FrmScaling::~FrmScaling() = default;

QRect FrmScaling::twips(int left, int top, int width, int height) const
{
    // twips, 1440 to the inch, at the screen's logical resolution; the layout was drawn for a small
    // 8-point sans serif (5 pixels a character, 13 a line), so a wider or taller font widens it alike,
    // and no caption is cut short.
    const QFontMetrics fm(font());
    const double fx = std::max(1.0, fm.averageCharWidth() / 5.0);
    const double fy = std::max(1.0, fm.height() / 13.0);
    const double x = logicalDpiX() / TwipsPerInch * fx;
    const double y = logicalDpiY() / TwipsPerInch * fy;
    return QRect(qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y));
}

void FrmScaling::buildControls()
{
    setFixedSize(twips(0, 0, 4740, 6576).size()); // client area

    Frame4 = new QGroupBox(this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    Frame4->setGeometry(twips(120, 240, 4452, 5412));

    // Only the two captioned frames are bold; what they hold keeps the normal weight.
    QFont bold = font();
    bold.setBold(true);
    QFont normal = font();
    normal.setBold(false);

    Frame1 = new QGroupBox(QStringLiteral("Choice of Units "), Frame4);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(360, 360, 3735, 1215));
    Frame1->setFont(bold);

    const std::array<const char*, 2> labelCaptions{"Calibration Units", "Other Named Units"};
    for (int i = 0; i < 2; ++i) {
        Label2[i] = new QLabel(QString::fromLatin1(labelCaptions[i]), Frame1);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        Label2[i]->setGeometry(twips(240, 360 + 480 * i, 1455, 255));
        Label2[i]->setFont(normal);
    }
    Combo1 = makeUnitCombo(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(twips(1920, 240, 1452, 288));
    Combo1->setAccessibleName(Label2[0]->text());
    Combo2 = makeUnitCombo(Frame1);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setGeometry(twips(1920, 720, 1452, 288));
    Combo2->setAccessibleName(Label2[1]->text());
    Combo1->setFont(normal);
    Combo2->setFont(normal);
    Label2[0]->setBuddy(Combo1);
    Label2[1]->setBuddy(Combo2);

    Frame2 = new QGroupBox(QStringLiteral("Calibration Distance "), Frame4);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(twips(360, 1920, 3735, 2655));
    Frame2->setFont(bold);

    const std::array<int, 5> optionTops{360, 720, 1080, 1440, 1920};
    for (int i = 0; i < 5; ++i) {
        Option1[i] = new QRadioButton(Frame2);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        Option1[i]->setGeometry(twips(840, optionTops[i], 2415, 255));
        Option1[i]->setFont(normal);
    }
    setOptionCaptions(QString::fromLatin1(DefaultScale::Abbrev));
    Option1[UserDefined]->setText(QStringLiteral("User-defined"));
    Option1[0]->setChecked(true);

    Text1 = new QLineEdit(Frame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips(1080, 2160, 975, 285));
    Text1->setAccessibleName(QStringLiteral("User-defined calibration distance"));
    Text1->setFont(normal);
    Text1->hide();
    Label4 = new QLabel(QString::fromLatin1(DefaultScale::Abbrev), Frame2);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(twips(2160, 2160, 855, 375));
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setFont(normal);
    Label4->hide();

    Reset = new QPushButton(QStringLiteral("Reset"), Frame4);
    Reset->setObjectName(QStringLiteral("Reset"));
    Reset->setGeometry(twips(600, 4800, 612, 372));
    Reset->setAutoDefault(false);
    Check1 = new QCheckBox(QStringLiteral("Overwrite Defaults on Exit"), Frame4);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(twips(1680, 4800, 2412, 372));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips(840, 6000, 1215, 375));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twips(2640, 6000, 1215, 375));
    Command2->setAutoDefault(false);

    connect(Combo1, &QComboBox::activated, this, &FrmScaling::Combo1_Click);
    for (int i = 0; i < 5; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                Option1_Click(i);
        });
    }
    connect(Reset, &QPushButton::clicked, this, &FrmScaling::Reset_Click);
    connect(Command1, &QPushButton::clicked, this, &FrmScaling::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmScaling::Command2_Click);
}

int FrmScaling::showModal(ScalingServices& services, QWidget* parent)
{
    FrmScaling dialog(services, parent);
    return dialog.exec();
}

int16_t FrmScaling::GetComboIndex(const QComboBox* Cbox)
{
    const int i = UnitIndexOf(Cbox->currentText());
    return int16_t(i < 0 ? 0 : i);
}

void FrmScaling::showEvent(QShowEvent* event)
{
    // Opening the dialog, not a change of the active window, refills it: a message box of its own must
    // not wipe what the user has typed.
    if (!event->spontaneous() && !m_open) {
        m_open = true;
        Form_activate();
    }
    QDialog::showEvent(event);
}

void FrmScaling::done(int result)
{
    if (m_open) {
        m_open = false;
        Form_Deactivate();
    }
    QDialog::done(result);
}

void FrmScaling::closeEvent(QCloseEvent* event)
{
    // In first-run mode the only way on is OK.
    if (m_services.FirstRun) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event); // closes without a handler: no record changes
}

void FrmScaling::keyPressEvent(QKeyEvent* event)
{
    // Escape is the Cancel button, and does nothing while Cancel is disabled.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (Command2->isEnabled())
            Command2->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmScaling::Form_activate()
{
    m_editFactors = std::make_unique<ScaleFactors>();
    if (!s_factorsAccepted)
        Equalise(m_services.CurrentFactors, m_services.DefaultFactors);
    Equalise(*m_editFactors, m_services.CurrentFactors);
    UpdateControls();
    for (int i = 0; i < UnitCount; ++i) {
        UnitAbbrevs[i] = UnitAbbrev(i);
        UnitSizes[i] = UnitSize(i);
    }
}

void FrmScaling::Form_Deactivate()
{
    m_editFactors.reset();
}

void FrmScaling::setOptionCaptions(const QString& abbrev)
{
    for (int i = 0; i < 4; ++i)
        Option1[i]->setText(QString::fromLatin1(OptionPrefixes[i]) + abbrev);
}

void FrmScaling::selectOption(int index)
{
    // toggled() fires only when the selection changes, and so does Option1_Click.
    Option1[index]->setChecked(true);
}

void FrmScaling::UpdateControls()
{
    const ScaleFactors& edit = *m_editFactors;
    const bool firstRun = m_services.FirstRun;
    setComboText(Combo1, edit.Unit1());
    setComboText(Combo2, edit.Unit2());
    Reset->setEnabled(!firstRun);
    Check1->setChecked(firstRun);
    Check1->setEnabled(!firstRun);
    Command2->setEnabled(!firstRun);
    Text1->clear();

    int option = UserDefined;
    for (int i = 0; i < 4; ++i) {
        if (edit.CalFactor() == OptionDistances[i]) // exact, in single precision
            option = i;
    }
    selectOption(option);
    if (option == UserDefined)
        Text1->setText(GeneralNumber(edit.CalFactor(), UserDecimalPoint()));

    Label4->setText(edit.Abbrev());
    setOptionCaptions(edit.Abbrev());
}

void FrmScaling::Combo1_Click(int index)
{
    if (!m_editFactors || index < 0 || index >= UnitCount)
        return;
    m_editFactors->setAbbrev(UnitAbbrevs[index]);
    Label4->setText(m_editFactors->Abbrev());
    setOptionCaptions(m_editFactors->Abbrev());
}

void FrmScaling::Option1_Click(int Index)
{
    Text1->setVisible(Index == UserDefined);
    Label4->setVisible(Index == UserDefined);
}

void FrmScaling::Reset_Click()
{
    if (!m_editFactors)
        return;
    Equalise(*m_editFactors, m_services.DefaultFactors);
    UpdateControls();
}

void FrmScaling::Command2_Click()
{
    reject();
}

void FrmScaling::userDefinedRefused(const QString& message)
{
    m_services.messages.show(QStringLiteral("Mapwheel"), message, MessageIcon::Warning);
    Text1->clear();
    Text1->setFocus();
}

bool FrmScaling::checkDistance()
{
    for (int i = 0; i < 4; ++i) {
        if (Option1[i]->isChecked()) {
            m_editFactors->setCalFactor(OptionDistances[i]);
            return true;
        }
    }
    // The text shown carries the user's decimal separator; a point is read as one in every locale.
    const QString point = UserDecimalPoint();
    QString text = Text1->text();
    if (text.isEmpty()) {
        userDefinedRefused(QStringLiteral("User-defined value must contain a number"));
        return false;
    }
    int digits = 0;
    int points = 0;
    for (QChar& ch : text) {
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            ++digits;
        } else if (ch == QLatin1Char('.') || QString(ch) == point) {
            ch = QLatin1Char('.');
            ++points;
        } else {
            userDefinedRefused(QStringLiteral("User-defined value must be a positive number"));
            return false;
        }
    }
    if (digits == 0) { // a point alone
        userDefinedRefused(QStringLiteral("User-defined value must contain a number"));
        return false;
    }
    if (points > 1) {
        userDefinedRefused(QStringLiteral("User-defined value must be a positive number"));
        return false;
    }
    const std::optional<float> value = ParseStoredSingle(text);
    if (!value) {
        // Out of single-precision range: too large is no usable number, too small is zero.
        const std::optional<double> wide = ParseStoredDouble(text);
        const bool tooSmall = wide && *wide < 1.0;
        userDefinedRefused(tooSmall ? QStringLiteral("User-defined value must be positive and non-zero")
                                    : QStringLiteral("User-defined value must be a positive number"));
        return false;
    }
    if (*value == 0.0f) {
        userDefinedRefused(QStringLiteral("User-defined value must be positive and non-zero"));
        return false;
    }
    m_editFactors->setCalFactor(*value);
    return true;
}

std::optional<QString> FrmScaling::checkUnit(QComboBox* combo, const QString& recorded,
                                             const QString& message, MessageIcon icon)
{
    const QString typed = combo->currentText();
    if (UnitIndexOf(typed) >= 0)
        return typed;
    m_services.messages.show(QStringLiteral("Mapwheel"), message, icon);
    setComboText(combo, recorded);
    combo->setFocus();
    return std::nullopt;
}

void FrmScaling::Command1_Click()
{
    if (!m_editFactors)
        return;
    ScaleFactors& edit = *m_editFactors;
    if (!checkDistance())
        return;
    const std::optional<QString> unit1 = checkUnit(
        Combo1, edit.Unit1(), QStringLiteral("Please check entry for Calibration Units"), MessageIcon::None);
    if (!unit1)
        return;
    edit.setUnit1(*unit1);
    const std::optional<QString> unit2 =
        checkUnit(Combo2, edit.Unit2(), QStringLiteral("Please check entry for Other Named Units"),
                  MessageIcon::Warning);
    if (!unit2)
        return;
    edit.setUnit2(*unit2);

    if (m_services.setMeterCaptions)
        m_services.setMeterCaptions(edit.Unit1(), edit.Unit2());
    const int16_t i1 = GetComboIndex(Combo1);
    const int16_t i2 = GetComboIndex(Combo2);
    edit.setUnitFactor(UnitSizes[i2] / UnitSizes[i1]);
    edit.setAbbrev(UnitAbbrevs[i1]);
    Equalise(m_services.CurrentFactors, edit);
    if (Check1->isChecked() || m_services.FirstRun) {
        Equalise(m_services.DefaultFactors, edit);
        ScaleSettings(QStringLiteral("Write"), m_services.DefaultFactors, m_services.store,
                      m_services.RaiseFatal);
        m_services.FirstRun = false;
    }
    s_factorsAccepted = true;

    accept();
    if (m_services.calibrate)
        m_services.calibrate();
}
