#include "loadlimits.h"

#include <QFile>

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
