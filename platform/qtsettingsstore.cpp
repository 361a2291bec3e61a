#include "qtsettingsstore.h"

#include "settingskeys.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSettings>
#include <QStorageInfo>
#include <sys/resource.h>

namespace
{
QString sectionKey(const QString& key)
{
    return QString::fromLatin1(SettingsKey::Section) + QLatin1Char('/') + key;
}

std::optional<QString> asText(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString();
    // An unquoted comma in a hand-edited file makes the INI reader split the value into a list.
    case QMetaType::QStringList:
        return v.toStringList().join(QStringLiteral(", "));
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    default:
        break;
    }
    if (v.canConvert<QString>())
        return v.toString();
    return std::nullopt;
}

// QSettings reports a damaged file only to the one object that parsed it; every other object in the process
// is handed the same parse without complaint. So each file's damaged version, by size and time as QSettings
// tells versions apart, is remembered for the process too.
using Version = std::pair<qint64, QDateTime>;
QMutex damageMutex;
QHash<QString, Version> damagedVersions;

// The disk's free space and the largest file this process may write.
bool roomFor(const QString& path, qint64 bytes)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && rlim_t(bytes) > limit.rlim_cur)
        return false;
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    return !disk.isValid() || disk.bytesAvailable() >= bytes;
}

// QSettings says only that it cannot write; give the reason the file system gives.
QString whyNotWritable(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return QStringLiteral("cannot create %1").arg(path);
    if (file.open(QIODevice::ReadWrite))
        return QStringLiteral("cannot create files beside %1").arg(path);
    return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
}
} // namespace

QtSettingsStore::QtSettingsStore() : m_path(defaultFileName()) {}

QtSettingsStore::QtSettingsStore(const QString& filePath) : m_path(filePath) {}

QString QtSettingsStore::defaultFileName()
{
    const QString name = QString::fromLatin1(SettingsKey::Application);
    return QSettings(QSettings::IniFormat, QSettings::UserScope, name, name).fileName();
}

std::unique_ptr<QSettings> QtSettingsStore::open(bool& damaged) const
{
    const QFileInfo file(m_path);
    const Version version{file.size(), file.lastModified()};
    // Constructing it re-reads the file if it changed since this process last read it.
    auto settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    settings->allKeys(); // sections are parsed when first used: damage anywhere in the file counts
    const QMutexLocker locker(&damageMutex);
    if (settings->status() == QSettings::FormatError)
        damagedVersions.insert(file.absoluteFilePath(), version);
    const auto found = damagedVersions.constFind(file.absoluteFilePath());
    damaged = found != damagedVersions.constEnd() && *found == version;
    return settings;
}

std::optional<QString> QtSettingsStore::value(const QString& key) const
{
    bool damaged = false;
    const QVariant v = open(damaged)->value(sectionKey(key));
    if (damaged || !v.isValid())
        return std::nullopt;
    return asText(v);
}

bool QtSettingsStore::fail(const QString& why)
{
    m_error = why;
    return false;
}

bool QtSettingsStore::setValues(const QList<std::pair<QString, QString>>& entries)
{
    m_error.clear();
    bool damaged = false;
    open(damaged);
    // A second object: the first may hold a parse error, and QSettings keeps only the first error it meets.
    QSettings settings(m_path, QSettings::IniFormat);
    // QSettings would keep refused entries and retry them at every later access, so check before setting any.
    // isWritable() also creates the folder of a new file.
    if (!settings.isWritable() || !QFileInfo(QFileInfo(m_path).absolutePath()).isWritable())
        return fail(whyNotWritable(m_path));
    // The whole new text (at most six bytes a character, escaped), the lock file, and blocks to round up to.
    qint64 needed = QFileInfo(m_path).size() + 16 * 1024;
    for (const auto& [key, value] : entries)
        needed += 6 * (key.size() + value.size() + 2);
    if (!roomFor(m_path, needed))
        return fail(QStringLiteral("no room on the disk to write %1").arg(m_path));

    if (damaged)
        settings.clear(); // it reads as holding nothing, so nothing the program could read is lost
    for (const auto& [key, value] : entries)
        settings.setValue(sectionKey(key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return fail(QStringLiteral("cannot write %1; it keeps what it had").arg(m_path));
    // QSettings ends every line with a newline: a file without one was cut short on the way to the disk.
    QFile written(m_path);
    if (!written.open(QIODevice::ReadOnly) || !written.readAll().endsWith('\n'))
        return fail(QStringLiteral("%1 may have been cut short; is the disk full?").arg(m_path));
    const QMutexLocker locker(&damageMutex);
    damagedVersions.remove(QFileInfo(m_path).absoluteFilePath()); // what QSettings wrote is whole
    return true;
}
