#pragma once

#include <QSize>
#include <QString>

// The loader's messages to the user. Each names the file (its name without the folder) and why it could
// not be opened.
namespace LoadMessages
{
QString missing(const QString& path);
QString unreadable(const QString& path, const QString& why);
QString notAPicture(const QString& path);
QString truncated(const QString& path);
QString damaged(const QString& path);
QString tooLarge(const QString& path, qint64 width, qint64 height); // a BMP's height may be 2^31
inline QString tooLarge(const QString& path, QSize size)
{
    return tooLarge(path, size.width(), size.height());
}
} // namespace LoadMessages
