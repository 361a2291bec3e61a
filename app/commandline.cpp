#include "commandline.h"

#include <QDir>

const char* const UsageText =
    "Usage: mapwheel [MAP_FILE | --version | --help]\n"
    "Measures routes on scanned maps. Given a map file (GIF, JPEG, BMP, PNG or TIFF) it opens that map\n"
    "after its splash; otherwise it asks for one, starting in the Maps folder of the folder it starts in,\n"
    "or else in the sample maps installed with it.\n";

CommandLine ReadCommandLine(const QStringList& arguments, const QString& workingDir)
{
    QStringList files;
    bool options = true;
    for (const QString& a : arguments) {
        if (options && a == QLatin1String("--"))
            options = false;
        else if (options && a.startsWith(QLatin1Char('-')))
            return {QString(), QStringLiteral("unknown option %1").arg(a)};
        else
            files.append(a);
    }
    if (files.size() > 1)
        return {QString(), QStringLiteral("one map at a time, not %1").arg(files.size())};
    if (files.isEmpty())
        return {};
    return {QDir::cleanPath(QDir(workingDir).absoluteFilePath(files.first())), QString()};
}
