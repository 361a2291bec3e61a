#pragma once

#include "scalingservices.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The Scale Factors dialog: primary and secondary unit, calibration distance, and whether the choice
// becomes the saved default. It edits its own copy, EditFactors, and touches CurrentFactors and
// DefaultFactors only at OK, which always ends in a new calibration.
//
// Controls, by objectName (control arrays as Name_Index):
//   Frame4                 frame around everything but OK and Cancel
//   Frame1                 "Choice of Units "
//   Label2_0, Label2_1     "Calibration Units", "Other Named Units"
//   Combo1, Combo2         primary and secondary unit: the eight catalogue names, or typed text
//   Frame2                 "Calibration Distance "
//   Option1_0 .. Option1_3 0.1, 1, 10, 100 of the primary unit
//   Option1_4              "User-defined", with Text1 (the distance) and Label4 (its abbreviation)
//   Reset                  shows the saved defaults again
//   Check1                 "Overwrite Defaults on Exit"
//   Command1, Command2     OK (Enter) and Cancel (Escape)
//
// Form_activate runs each time the dialog is opened and Form_Deactivate when it closes; a message box
// of the dialog's own, or another window taking the focus, changes neither.
class FrmScaling : public QDialog
{
    Q_OBJECT
public:
    FrmScaling(ScalingServices& services, QWidget* parent = nullptr);
    ~FrmScaling() override;

    // Opens the dialog modally and returns when it has closed: QDialog::Accepted after a successful OK.
    static int showModal(ScalingServices& services, QWidget* parent);

    // True from the first successful OK of the run on: until then every opening starts from the saved
    // defaults.
    static bool FactorsAccepted() { return s_factorsAccepted; }
    static void resetFactorsAcceptedForTest() { s_factorsAccepted = false; }

    // The working copy while the dialog is open, null otherwise.
    const ScaleFactors* EditFactors() const { return m_editFactors.get(); }

    // Catalogue index of the text the combo box shows, exactly as typed; 0 when no name is equal.
    static int16_t GetComboIndex(const QComboBox* Cbox);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void Form_activate();
    void Form_Deactivate();
    void UpdateControls();
    void setOptionCaptions(const QString& abbrev);
    void selectOption(int index);
    void Combo1_Click(int index);
    void Option1_Click(int Index);
    void Reset_Click();
    void Command1_Click();
    void Command2_Click();
    bool checkDistance();
    // The unit text as typed when it is a catalogue name; otherwise the message, the text of the record
    // back in the box and the focus on it.
    std::optional<QString> checkUnit(QComboBox* combo, const QString& recorded, const QString& message,
                                     MessageIcon icon);
    void userDefinedRefused(const QString& message);
    QRect twips(int left, int top, int width, int height) const;

    ScalingServices& m_services;
    std::unique_ptr<ScaleFactors> m_editFactors;
    std::array<QString, 8> UnitAbbrevs;
    std::array<double, 8> UnitSizes{};
    bool m_open = false;

    QGroupBox* Frame4 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 2> Label2{};
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 5> Option1{};
    QLineEdit* Text1 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Reset = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    static bool s_factorsAccepted;
};
