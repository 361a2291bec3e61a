#pragma once

#include "mappicture.h"

#include <QDialog>

class MapLoader;
class QLabel;
class QProgressBar;

// The "Map is Loading..." window. It shows a load the program has started: how far it has got, and the map
// filling in as it is decoded. Controls:
//   Frame1   frame holding the picture Image1: the wait icon, then the map filling in band by band
//   Label1   "Map is Loading...", Label2 "Please Wait!"
//   ProgressBar1  how far the loading has gone, shown once it takes longer than half a second
class FrmWait : public QDialog
{
    Q_OBJECT
public:
    // Shows the wait window modally until `loader`'s running load has finished, then closes it. The
    // picture, or null with *error saying why.
    static MapPicturePtr ShowWhile(MapLoader& loader, QString* error);

    // Escape and the close control do nothing: the window closes itself when the map has loaded.
    void reject() override;

private:
    explicit FrmWait(MapLoader& loader);
    void loaded(MapPicturePtr picture, const QString& error);

    QWidget* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    MapPicturePtr m_picture;
    bool m_done = false;
    QString m_error;
};
