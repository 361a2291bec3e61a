#pragma once

#include "settingsstore.h"

#include <QString>
#include <QStringList>

// The recent-files list, kept in the settings store under "File1" (newest) to "File9". No widgets: the
// main window builds the mnuMRU menu items from captions().
class RecentFiles
{
public:
    explicit RecentFiles(SettingsStore& store) : m_store(store) {}

    // Rebuilds the list with MapFile on top: the stored paths follow in their order, every copy of MapFile
    // left out, reading stops at the first absent or empty key, at most MaxMRU entries in all; then writes
    // the n entries back to "File1".."Filen" (higher keys are left as they are). False only when the store
    // refused the write; the captions are set either way.
    bool UpdateMRUList(const QString& MapFile, int MaxMRU);

    // Captions of mnuMRU elements 0 to n-1 after the last UpdateMRUList: full paths, nothing added.
    const QStringList& captions() const { return m_captions; }

private:
    SettingsStore& m_store;
    QStringList m_captions;
};
