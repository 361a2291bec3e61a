#include "recentfiles.h"

#include "settingskeys.h"


bool RecentFiles::UpdateMRUList(const QString& MapFile, int MaxMRU)
{
    m_captions = QStringList{MapFile};
    int skip = 0;
    int i = 1;
    while (i <= MaxMRU - 1) {
        const QString value = m_store.value(SettingsKey::File(skip + i)).value_or(QString());
        if (value.isEmpty())
            break;
        if (value != MapFile) { // exact and case-sensitive: C:\A.gif and C:\a.gif are two maps
            m_captions.append(value);
            ++i;
        } else {
            ++skip; // the stored copy of the open map gives its place to the next key
        }
    }
    // i is now n, the number of menu entries.
    QList<std::pair<QString, QString>> entries;
    for (int j = 1; j <= i; ++j)
        entries.append({SettingsKey::File(j), m_captions.at(j - 1)});
    return m_store.setValues(entries);
}
