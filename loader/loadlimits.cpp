#include "loadlimits.h"

#include <QFile>
#include <limits>

namespace
{

// kB from /proc/meminfo, or -1.
qint64 memInfo(const QByteArray& text, const char* key)
{
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith(key)) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2)
                return parts.at(1).toLongLong();
        }
    }
    return -1;
}

} // namespace

qint64 LoadLimits::pictureBytes(qint64 width, qint64 height)
{
    qint64 pixels = 0, bytes = 0;
    if (width < 0 || height < 0 || __builtin_mul_overflow(width, height, &pixels) ||
        __builtin_mul_overflow(pixels, qint64(4), &bytes))
        return std::numeric_limits<qint64>::max();
    return bytes;
}

LoadLimits LoadLimits::fromMachine()
{
    QFile f(QStringLiteral("/proc/meminfo"));
    qint64 availableKb = -1;
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray text = f.readAll();
        availableKb = memInfo(text, "MemAvailable:");
        if (availableKb < 0)
            availableKb = memInfo(text, "MemFree:");
    }
    if (availableKb < 0)
        availableKb = qint64(2) << 20; // 2 GiB when the system will not say
    return LoadLimits{availableKb * 1024 / 5 * 3};
}
