#include "folderof.h"

#include <QFileInfo>

QString FolderOf(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? QString() : path.left(cut);
}

QString DataPath(const QStringList& dataFolders, const QString& name)
{
    for (const QString& folder : dataFolders) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(path))
            return path;
    }
    return dataFolders.value(0) + QLatin1Char('/') + name;
}

QString InitialFolder(const QString& file1Setting, const QStringList& dataFolders)
{
    if (!file1Setting.isEmpty())
        return FolderOf(file1Setting);
    return DataPath(dataFolders, QStringLiteral("Maps"));
}

QString HelpFilePath(const QStringList& dataFolders)
{
    return DataPath(dataFolders, QStringLiteral("mapwheel.hlp"));
}

QString DroppedMapFile(const QList<QUrl>& urls)
{
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    const QString path = urls.first().toLocalFile();
    return path.isEmpty() || QFileInfo(path).isDir() ? QString() : path;
}
