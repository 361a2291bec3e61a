#pragma once

#include <QString>

// The folder part of a path: the text before its last separator, without it; "" when there is none.
// Both "\" and "/" count as separators, so C:\Maps\walk.gif gives C:\Maps and /home/ann/walk.gif
// gives /home/ann. C:\walk.gif gives C: (the drive alone).
QString FolderOf(const QString& path);

// The folder the open dialog starts in: the folder of the most recently opened map ("File1") when one
// is stored, otherwise the "Maps" folder under the start-up directory, joined with "/" as text.
// A stored bare file name gives "", which leaves the choice to the dialog.
QString InitialFolder(const QString& file1Setting, const QString& StartDir);

// The help file in the start-up directory, joined with "/".
QString HelpFilePath(const QString& StartDir);
