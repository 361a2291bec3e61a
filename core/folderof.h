#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// The folder part of a path: the text before its last separator, without it; "" when there is none.
// Both "\" and "/" count as separators, so C:\Maps\walk.gif gives C:\Maps and /home/ann/walk.gif
// gives /home/ann. C:\walk.gif gives C: (the drive alone).
QString FolderOf(const QString& path);

// The sample maps ("Maps") and the help file are looked up in dataFolders in turn: the start-up directory
// first, then the installed data folder. The first folder's path when none holds it, so that a message
// names the place looked in first.
QString DataPath(const QStringList& dataFolders, const QString& name);

// The folder the open dialog starts in: the folder of the most recently opened map ("File1") when one
// is stored, otherwise the "Maps" folder found in dataFolders. A stored bare file name gives "", which
// leaves the choice to the dialog.
QString InitialFolder(const QString& file1Setting, const QStringList& dataFolders);

// The help file found in dataFolders.
QString HelpFilePath(const QStringList& dataFolders);

// The map a drag brings: the path of its one local file, or "" when it brings several, a folder or
// anything that is not a local file.
QString DroppedMapFile(const QList<QUrl>& urls);
