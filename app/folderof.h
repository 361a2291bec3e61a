#pragma once

#include <QString>

// The folder part of a path: the text before its last separator, without it; "" when there is none.
// Both "\" and "/" count as separators, so C:\Maps\walk.gif gives C:\Maps and /home/ann/walk.gif
// gives /home/ann. C:\walk.gif gives C: (the drive alone).
QString FolderOf(const QString& path);
