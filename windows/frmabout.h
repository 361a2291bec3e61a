#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The about window, shown modally from the Help menu; its parent is the main window.
//
// Controls:
//   Frame1          frame holding the pictures and the product name
//   Image1, Image2  the logo and a small piece of map
//   lblProductName  "Mapwheel"
//   Label2          "Version " and AppVersion, set on every activation
//   Label3          the maker's copyright line
//   Label4          the maker's web address, blue
//   Label1          the maker's e-mail address
//   Command1        "OK"
class FrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit FrmAbout(const QString& AppVersion, QWidget* parent = nullptr);

    void Form_activate();
    // Closes the window, then brings the main window (the parent) back to the front.
    void Command1_Click();

    QFrame* Frame1;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* lblProductName;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPushButton* Command1;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QString m_appVersion;
};
