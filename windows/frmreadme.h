#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The read-me window, shown modally from the Help menu. The text is the program's own (ReadMeText),
// not read from disk.
//
// Controls:
//   Text1     read-only text in "Courier New" 9 pt, with a vertical scroll bar
//   Command1  "OK"
class FrmReadMe : public QDialog
{
    Q_OBJECT
public:
    explicit FrmReadMe(QWidget* parent = nullptr);

    void Command1_Click();

    QPlainTextEdit* Text1;
    QPushButton* Command1;
};
