#include "frmscaling.h"

#include "numbertext.h"
#include "scalefactorseditor.h"
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
#include <algorithm>

namespace
{
constexpr std::array<const char*, 4> OptionPrefixes{"0.1 ", "1 ", "10 ", "100 "};
constexpr int UserDefined = ScaleFactorsEditor::UserDefined;

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

FrmScaling::FrmScaling(const ScaleFactors& CurrentFactors, const ScaleFactors& DefaultFactors, bool FirstRun,
                       MessageBoxes& messages, TwipsMapping twips, QWidget* parent)
    : QDialog(parent), m_current(CurrentFactors), m_defaults(DefaultFactors), m_firstRun(FirstRun),
      m_messages(messages), m_twips(twips)
{
    setObjectName(QStringLiteral("FrmScaling"));
    setWindowTitle(QStringLiteral("Scale Factors"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    buildControls();
}

QRect FrmScaling::twips(int left, int top, int width, int height) const
{
    // The layout was drawn for a small 8-point sans serif (5 pixels a character, 13 a line), so a wider or
    // taller font widens it alike, and no caption is cut short.
    const QFontMetrics fm(font());
    const double fx = std::max(1.0, fm.averageCharWidth() / 5.0);
    const double fy = std::max(1.0, fm.height() / 13.0);
    return m_twips.scaled(fx, fy).toPixels(left, top, width, height);
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

    Frame1 = new QGroupBox(QStringLiteral("Choice of &Units "), Frame4);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(360, 360, 3735, 1215));
    Frame1->setFont(bold);

    const std::array<const char*, 2> labelCaptions{"&Calibration Units", "Other &Named Units"};
    for (int i = 0; i < 2; ++i) {
        Label2[i] = new QLabel(QString::fromLatin1(labelCaptions[i]), Frame1);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        Label2[i]->setGeometry(twips(240, 360 + 480 * i, 1455, 255));
        Label2[i]->setFont(normal);
    }
    Combo1 = makeUnitCombo(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(twips(1920, 240, 1452, 288));
    Combo1->setAccessibleName(QStringLiteral("Calibration Units"));
    Combo2 = makeUnitCombo(Frame1);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setGeometry(twips(1920, 720, 1452, 288));
    Combo2->setAccessibleName(QStringLiteral("Other Named Units"));
    Combo1->setFont(normal);
    Combo2->setFont(normal);
    Label2[0]->setBuddy(Combo1);
    Label2[1]->setBuddy(Combo2);

    Frame2 = new QGroupBox(QStringLiteral("Calibration &Distance "), Frame4);
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
    Option1[UserDefined]->setText(QStringLiteral("Us&er-defined"));
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

    Reset = new QPushButton(QStringLiteral("&Reset"), Frame4);
    Reset->setObjectName(QStringLiteral("Reset"));
    Reset->setGeometry(twips(600, 4800, 612, 372));
    Reset->setAutoDefault(false);
    Check1 = new QCheckBox(QStringLiteral("Over&write Defaults on Exit"), Frame4);
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
            // Tab into the group lands on the chosen option; the arrow keys move between them.
            Option1[i]->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
            if (checked)
                Option1_Click(i);
        });
    }
    for (QRadioButton* option : Option1)
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    connect(Reset, &QPushButton::clicked, this, &FrmScaling::Reset_Click);
    connect(Command1, &QPushButton::clicked, this, &FrmScaling::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmScaling::Command2_Click);
}

std::optional<FrmScaling::Accepted> FrmScaling::Edit(const ScaleFactors& CurrentFactors,
                                                     const ScaleFactors& DefaultFactors, bool FirstRun,
                                                     MessageBoxes& messages, TwipsMapping twips,
                                                     QWidget* parent)
{
    FrmScaling dialog(CurrentFactors, DefaultFactors, FirstRun, messages, twips, parent);
    dialog.exec();
    return dialog.m_accepted;
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
    if (m_firstRun) {
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
    Equalise(*m_editFactors, m_current);
    UpdateControls();
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
    const bool firstRun = m_firstRun;
    setComboText(Combo1, edit.Unit1());
    setComboText(Combo2, edit.Unit2());
    Reset->setEnabled(!firstRun);
    Check1->setChecked(firstRun);
    Check1->setEnabled(!firstRun);
    Command2->setEnabled(!firstRun);
    Text1->clear();

    const int option = ScaleFactorsEditor::optionFor(edit.CalFactor());
    selectOption(option);
    if (option == UserDefined)
        Text1->setText(ScaleFactorsEditor::distanceText(edit.CalFactor()));

    Label4->setText(edit.Abbrev());
    setOptionCaptions(edit.Abbrev());
}

void FrmScaling::Combo1_Click(int index)
{
    if (!m_editFactors || index < 0 || index >= UnitCount)
        return;
    m_editFactors->setAbbrev(UnitAbbrev(index));
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
    Equalise(*m_editFactors, m_defaults);
    UpdateControls();
}

void FrmScaling::Command2_Click()
{
    reject();
}

void FrmScaling::Command1_Click()
{
    if (!m_editFactors)
        return;
    int option = UserDefined;
    for (int i = 0; i < UserDefined; ++i) {
        if (Option1[i]->isChecked())
            option = i;
    }
    const std::optional<ScaleFactorsEditor::Refusal> refused = ScaleFactorsEditor::accept(
        {Combo1->currentText(), Combo2->currentText(), option, Text1->text()}, *m_editFactors);
    if (refused) {
        m_messages.show(QStringLiteral("Mapwheel"), refused->text, refused->icon);
        // The box in question gets the focus, emptied or showing the record's unit again.
        using Field = ScaleFactorsEditor::Field;
        if (refused->field == Field::Distance) {
            Text1->clear();
            Text1->setFocus();
        } else {
            QComboBox* combo = refused->field == Field::Unit1 ? Combo1 : Combo2;
            setComboText(combo,
                         refused->field == Field::Unit1 ? m_editFactors->Unit1() : m_editFactors->Unit2());
            combo->setFocus();
        }
        return;
    }
    m_accepted = Accepted{*m_editFactors, Check1->isChecked()};
    accept();
}
