#pragma once

#include "messageboxes.h"
#include "scalefactors.h"
#include "twips.h"

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
// becomes the saved default. It edits its own copy, EditFactors, and changes no other record: the caller
// applies what Edit returns.
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
    // What an OK gives: the new record and whether the user asked to overwrite the saved defaults.
    struct Accepted {
        ScaleFactors factors;
        bool overwriteDefaults = false;
    };

    // Opens the dialog modally on CurrentFactors; in first-run mode only OK closes it. Nothing when the
    // user cancelled.
    static std::optional<Accepted> Edit(const ScaleFactors& CurrentFactors, const ScaleFactors& DefaultFactors,
                                        bool FirstRun, MessageBoxes& messages, TwipsMapping twips,
                                        QWidget* parent);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FrmScaling(const ScaleFactors& CurrentFactors, const ScaleFactors& DefaultFactors, bool FirstRun,
               MessageBoxes& messages, TwipsMapping twips, QWidget* parent);
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
    QRect twips(int left, int top, int width, int height) const;

    const ScaleFactors& m_current;
    const ScaleFactors& m_defaults;
    const bool m_firstRun;
    MessageBoxes& m_messages;
    TwipsMapping m_twips;
    std::unique_ptr<ScaleFactors> m_editFactors;
    std::optional<Accepted> m_accepted;
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
};
