#pragma once

#include <QSize>
#include <QtGlobal>

// How large a picture the loader may decode.
struct LoadLimits {
    qint64 maxPictureBytes = 0; // bytes of one decoded 32-bit copy; the shrunk copies come on top (a twelfth)

    // Three fifths of the memory the system reports available: the picture, its shrunk copies (a twelfth
    // more) and some room for the rest of the program and the desktop.
    static LoadLimits fromMachine();

    // A header may claim any size, up to 2^31 on a side: what does not fit in 64 bits is the largest qint64.
    static qint64 pictureBytes(qint64 width, qint64 height);
    static qint64 pictureBytes(QSize size) { return pictureBytes(size.width(), size.height()); }
    bool allows(qint64 width, qint64 height) const { return pictureBytes(width, height) <= maxPictureBytes; }
    bool allows(QSize size) const { return allows(size.width(), size.height()); }
};
