#pragma once

#include "loadlimits.h"
#include "loadprogress.h"
#include "mappicture.h"

#include <QString>

// One load of one map file, run on the calling thread with helper threads beside it: the file's kind read
// from its signature, a picture too large or cut short refused before it is decoded, then JPEG and most
// TIFF decoded by the program itself (DirectLoad), the other kinds through Qt's readers (loadWithQt).
class LoadJob
{
public:
    using Hooks = LoadHooks;
    // The picture, or null with *error saying why (empty when the load was stopped).
    static MapPicturePtr run(const QString& path, const LoadLimits& limits, const Hooks& hooks,
                             QString* error);
};
