// Any bytes as the settings file: every key the program keeps reads without a crash, a leak or undefined
// behaviour, and values written over it (text from the same bytes) read back as they were written.
#include "qtsettingsstore.h"
#include "settingskeys.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QTemporaryDir dir;
    static qint64 round = 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile file(dir.filePath("settings.ini"));
    // A time of its own each round: QSettings takes a file of the same size and time for the one it parsed.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 ||
        !file.setFileTime(QDateTime::fromSecsSinceEpoch(++round), QFileDevice::FileModificationTime))
        return 0;
    file.close();
    QtSettingsStore store(file.fileName());
    QList<std::pair<QString, QString>> entries;
    const int keys = 5 + SettingsKey::MaxRecentFiles; // the scale factors, then the recent files
    for (int i = 0; i < keys; ++i) {
        const QString key = i < 5 ? SettingsKey::ScaleKeys[size_t(i)] : SettingsKey::File(i - 4);
        store.value(key);
        entries.append({key, QString::fromUtf8(bytes.mid(i * bytes.size() / keys, bytes.size() / keys + 1))});
    }
    if (!store.setValues(entries))
        std::abort();
    for (const auto& [key, value] : entries)
        if (store.value(key) != value)
            std::abort();
    return 0;
}
