#pragma once

#include <QSize>
#include <QtGlobal>

// How large a picture the loader may decode.
struct LoadLimits {
    qint64 maxPictureBytes = 0; // bytes of one decoded 32-bit copy; the shrunk copies come on top (a twelfth)

    // Three fifths of the memory the system reports available: the picture, its shrunk copies (a twelfth
    // more) and some room for the rest of the program and the desktop.
    static LoadLimits fromMachine();

    static qint64 pictureBytes(QSize size) { return qint64(size.width()) * size.height() * 4; }
    bool allows(QSize size) const { return pictureBytes(size) <= maxPictureBytes; }
};
