#pragma once

#include "mappicture.h"

#include <QDialog>

class Program;
class MapLoader;
class QLabel;
class QProgressBar;
class QTimer;

// The "Map is Loading..." window. Controls:
//   Frame1   frame holding the picture Image1
//   Label1   "Map is Loading...", Label2 "Please Wait!"
//   ProgressBar1  how far the loading has gone, shown once it takes longer than half a second
//   Timer1   1 ms one-shot: lets the window be drawn before the loading starts
class FrmWait : public QDialog
{
    Q_OBJECT
public:
    // Shows the wait window modally while `path` loads. On success the main window has been rebuilt around
    // the new map and is visible, and MapFile names it; on failure nothing has changed and *error says why.
    static bool LoadMap(Program& program, const QString& path, QString* error);

    static FrmWait* current(); // the window while it is shown, for tests

    // Escape and the close control do nothing: the window closes itself when the map has loaded.
    void reject() override;

    QTimer* Timer1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

private:
    FrmWait(Program& program, const QString& path, QWidget* parent);
    ~FrmWait() override;
    void Timer1_Timer();
    void loaded(MapPicturePtr picture, const QString& error);

    Program& m_program;
    QString m_path;
    MapLoader* m_loader = nullptr;
    bool m_ok = false;
    bool m_done = false;
    QString m_error;
};
