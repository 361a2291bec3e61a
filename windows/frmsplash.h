#pragma once

#include <QDialog>
#include <QTimer>

class QFrame;
class QLabel;

// The start-up window, shown modally by Main. Its one-shot timer closes it and then announces it, so that
// everything after start-up (the first open) runs inside the timer's event.
//
// Controls:
//   Timer1          one-shot timer, 3000 ms, running from the moment the window is made
//   Frame1          blue frame holding the artwork
//   Image1          artwork (a map with a traced route)
//   imgLogo         the program's logo
//   lblProductName  "Mapwheel"
//   lblVersion      "Version " and AppVersion, bold Arial, light blue on the blue background
//   lblCopyright    the maker's copyright line, bold Arial
class frmSplash : public QDialog
{
    Q_OBJECT
public:
    explicit frmSplash(const QString& AppVersion, QWidget* parent = nullptr);

    // Stops Timer1, closes the window (ending its modal display once this returns), then emits closed.
    void Timer1_Timer();

    QTimer Timer1;
    QFrame* Frame1;
    QLabel* Image1;
    QLabel* imgLogo;
    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblCopyright;

    static constexpr int SplashMilliseconds = 3000;

public slots:
    void reject() override; // Escape does not close the splash: only its timer does

signals:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load(const QString& AppVersion);
};
