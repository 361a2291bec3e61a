#pragma once

#include "loadlimits.h"
#include "loadprogress.h"

#include <optional>

// JPEG and TIFF maps decoded by the program itself, straight into the picture's own buffer, band by band,
// while a helper shrinks the finished bands and another maps memory in ahead of the decoder. Nothing when
// the file is of a layout left to Qt's readers (CMYK JPEG, 16-bit TIFF and the like).
namespace DirectLoad
{
std::optional<MapPicturePtr> jpeg(const QString& path, const LoadLimits& limits, const LoadHooks& hooks,
                                  Progress& progress, Failure fail);
std::optional<MapPicturePtr> tiff(const QString& path, const LoadLimits& limits, const LoadHooks& hooks,
                                  Progress& progress, Failure fail);
} // namespace DirectLoad
