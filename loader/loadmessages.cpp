#include "loadmessages.h"

#include <QFileInfo>
#include <algorithm>

namespace
{

QString nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

// "13.4 GB" from 1024-based units, as the system reports memory; small amounts in MB.
QString memoryText(double bytes)
{
    constexpr double gb = 1024.0 * 1024.0 * 1024.0, mb = 1024.0 * 1024.0;
    if (bytes >= gb)
        return QStringLiteral("%1 GB").arg(bytes / gb, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(std::max(1.0, bytes / mb), 0, 'f', 0);
}

} // namespace

QString LoadMessages::missing(const QString& path)
{
    return QStringLiteral("%1 cannot be opened: there is no such file.").arg(nameOf(path));
}

QString LoadMessages::unreadable(const QString& path, const QString& why)
{
    return QStringLiteral("%1 cannot be opened: %2.").arg(nameOf(path), why);
}

QString LoadMessages::notAPicture(const QString& path)
{
    return QStringLiteral("%1 is not a picture Mapwheel can read.").arg(nameOf(path));
}

QString LoadMessages::truncated(const QString& path)
{
    return QStringLiteral("%1 is damaged: it ends before the picture does.").arg(nameOf(path));
}

QString LoadMessages::damaged(const QString& path)
{
    return QStringLiteral("%1 is damaged: its picture data cannot be decoded.").arg(nameOf(path));
}

QString LoadMessages::tooLarge(const QString& path, qint64 width, qint64 height)
{
    // In floating point: the bytes a header can claim run past 64 bits.
    return QStringLiteral("%1 is %2 x %3 pixels: it needs %4 of memory, more than this computer can spare.")
        .arg(nameOf(path))
        .arg(width)
        .arg(height)
        .arg(memoryText(4.0 * double(width) * double(height)));
}
