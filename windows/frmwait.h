#pragma once

#include "mappicture.h"

#include <QDialog>

class MapLoader;
class QLabel;
class QProgressBar;
class QTimer;

// The "Map is Loading..." window. Controls:
//   Frame1   frame holding the picture Image1: the wait icon, then the map filling in as it is decoded
//   Label1   "Map is Loading...", Label2 "Please Wait!"
//   ProgressBar1  how far the loading has gone, shown once it takes longer than half a second
//   Timer1   1 ms one-shot: lets the window be drawn before the loading starts
// It only decodes: what is done with the picture is up to its caller.
class FrmWait : public QDialog
{
    Q_OBJECT
public:
    // Shows the wait window modally while `path` is decoded and closes it again. The picture, or null with
    // *error saying why.
    static MapPicturePtr LoadMap(const QString& path, QString* error);

    // Escape and the close control do nothing: the window closes itself when the map has loaded.
    void reject() override;

private:
    explicit FrmWait(const QString& path);
    void Timer1_Timer();
    void loaded(MapPicturePtr picture, const QString& error);

    QTimer* Timer1 = nullptr;
    QWidget* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QString m_path;
    MapLoader* m_loader = nullptr;
    MapPicturePtr m_picture;
    bool m_done = false;
    QString m_error;
};
