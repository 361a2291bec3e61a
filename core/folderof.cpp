#include "folderof.h"

QString FolderOf(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? QString() : path.left(cut);
}

QString InitialFolder(const QString& file1Setting, const QString& StartDir)
{
    if (!file1Setting.isEmpty())
        return FolderOf(file1Setting);
    return StartDir + QStringLiteral("/Maps");
}

QString HelpFilePath(const QString& StartDir)
{
    return StartDir + QStringLiteral("/mapwheel.hlp");
}
