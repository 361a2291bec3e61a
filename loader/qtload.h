#pragma once

#include "loadlimits.h"
#include "loadprogress.h"
#include "pictureheader.h"

// BMP, GIF, PNG and the TIFF layouts the program does not decode itself, through Qt's readers. Where the
// reader produces one of the formats kept it decodes into the picture's own buffer, mapped in beside it,
// and a bottom-up BMP's finished bands are shrunk while it reads on; the rest are shrunk afterwards by two
// threads. `head`: the file's first bytes.
MapPicturePtr loadWithQt(const QString& path, PictureHeader::Kind kind, const QByteArray& head,
                         const LoadLimits& limits, const LoadHooks& hooks, Progress& progress, Failure fail);
