// Any bytes as a map file, whichever kind its signature names: the loader opens or refuses it without a
// crash, a leak or undefined behaviour. The memory limit is small, so huge headers are refused cheaply.
#include "loadjob.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QTemporaryDir dir;
    QFile file(dir.filePath("map"));
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(data), qint64(size)) < 0)
        return 0;
    file.close();
    QString error;
    LoadJob::run(file.fileName(), LoadLimits{qint64(4) << 20}, {}, &error);
    return 0;
}
