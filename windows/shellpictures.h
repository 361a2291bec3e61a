#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's own pictures, drawn as SVG so that they stay sharp at any screen density.
namespace ShellPictures
{
inline constexpr const char* Open = ":/icons/open.svg";               // OpenFileButton
inline constexpr const char* ZoomIn = ":/icons/zoomin.svg";           // ZoomInButton
inline constexpr const char* ZoomOut = ":/icons/zoomout.svg";         // ZoomOutButton
inline constexpr const char* ZoomToFit = ":/icons/zoomfit.svg";       // ZoomToFitButton
inline constexpr const char* Recalibrate = ":/icons/recalibrate.svg"; // ReCalButton
inline constexpr const char* Reset = ":/icons/reset.svg";             // ResetButton
inline constexpr const char* Logo = ":/icons/logo.svg";               // splash and about windows
inline constexpr const char* Splash = ":/icons/splash.svg";           // splash artwork
} // namespace ShellPictures

// Makes the pictures reachable under ":/icons/"; safe to call more than once.
void InitShellPictures();

// An icon drawn from the SVG at whatever size and density it is asked for.
QIcon ShellIcon(const char* resourcePath);

// The SVG drawn at size (device-independent pixels) for a screen of the given density.
QPixmap ShellPixmap(const char* resourcePath, const QSize& size, qreal devicePixelRatio);
