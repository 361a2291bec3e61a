#pragma once

#include <QImage>
#include <QString>

// Writes an 8-bit indexed picture as a GIF file (GIF89a, one frame, LZW-compressed); Qt reads GIF but
// has no writer. False, with the reason in *error, when the picture is not indexed or the file cannot
// be written.
bool WriteGif(const QImage& indexed, const QString& path, QString* error);

// The GIF bytes of an 8-bit indexed picture; empty when it is not one.
QByteArray EncodeGif(const QImage& indexed);
