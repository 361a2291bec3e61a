#include "qtsettingsstore.h"

#include "settingskeys.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QMutex>
#include <QSettings>
#include <QStorageInfo>
#include <QSysInfo>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// How long a save waits for another copy to finish its own: the interface waits with it.
constexpr int LockWaitMs = 1000;
// QLockFile creates its file empty and writes the owner into it a moment later. One still empty or
// unreadable after this was left by a copy that died in between.
constexpr qint64 UnfilledLockGraceMs = 300;

// Whether a lock file nobody holds was left by a copy that died. A QLockFile file reads
// "<pid>\n<program>\n<host>\n..." once filled in.
bool leftBehind(const QByteArray& text, qint64 ageMs)
{
    const QList<QByteArray> lines = text.split('\n');
    bool isNumber = false;
    const qint64 pid = lines.constFirst().toLongLong(&isNumber);
    if (!isNumber || pid <= 0 || pid > std::numeric_limits<pid_t>::max() || lines.size() < 3)
        return qAbs(ageMs) > UnfilledLockGraceMs;
    // A copy on another computer sharing the folder cannot be looked up from here.
    const QByteArray& host = lines.at(2);
    if (!host.isEmpty() && host != QSysInfo::machineHostName().toUtf8())
        return false;
    // A process that runs may be the owner, between letting go of the file and removing it; QLockFile itself
    // tells a process id that has been given to another program since.
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// Removes the lock file `name` if it was left by a copy that died. A copy keeps a flock() on its lock file
// for as long as it holds it, and removes a stale one only while holding a flock() on it too; so holding one
// here, on the very file the name still leads to, nobody else can be using or removing it.
void removeIfLeftBehind(const QString& name)
{
    const QByteArray native = QFile::encodeName(name);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened = {};
    struct stat named = {};
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
                      ::stat(native.constData(), &named) == 0 && opened.st_dev == named.st_dev &&
                      opened.st_ino == named.st_ino;
    char text[1024];
    const ssize_t size = held ? ::read(fd, text, sizeof text) : -1;
    const qint64 modified = qint64(opened.st_mtim.tv_sec) * 1000 + opened.st_mtim.tv_nsec / 1000000;
    if (size >= 0 && leftBehind(QByteArray(text, int(size)), QDateTime::currentMSecsSinceEpoch() - modified))
        ::unlink(native.constData());
    ::close(fd);
}

// Makes sure that QSettings will have its lock file at once, as it waits for it without end. QLockFile takes
// over a lock left by a copy that died only when the file names a process that has gone, or after 30 s; and
// it guards the removal with a lock file of its own, "<lock>.rmlock", which a copy killed at that moment
// leaves behind in turn, as the next one removing that leaves "<lock>.rmlock.rmlock", and so on. Once the
// names grow to the longest a file name may be, nothing can be removed and every save waits for good. So the
// leftovers go first; then the lock is taken and let go at once, to learn that no live copy holds it. It is
// not held on through the sync: QSettings would wait for this very process. Another copy may still begin a
// save in between; QSettings then waits for that one save.
QLockFile::LockError clearLock(const QString& lockName)
{
    const QFileInfo lock(lockName);
    QLockFile probe(lockName);
    // QLockFile then takes over an unfilled lock, or one whose process id is in use again, without waiting
    // 30 s; a copy still holding it keeps it, by its flock().
    probe.setStaleLockTime(UnfilledLockGraceMs);
    const QDeadlineTimer deadline(LockWaitMs);
    for (;;) {
        for (const QString& name : lock.dir().entryList(QDir::Files | QDir::Hidden)) {
            if (name.startsWith(lock.fileName()) &&
                QString(name).remove(0, lock.fileName().size()).remove(QLatin1String(".rmlock")).isEmpty())
                removeIfLeftBehind(lock.dir().filePath(name));
        }
        if (probe.tryLock(0)) {
            probe.unlock();
            return QLockFile::NoError;
        }
        if (probe.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return probe.error();
        QThread::msleep(10);
    }
}

// A copy killed while saving leaves the new text it was writing, "<file>.XXXXXX" beside the file. One a minute
// old belongs to no save still under way.
void removeUnfinishedSaves(const QString& path)
{
    const QFileInfo file(path);
    const QString pattern = file.fileName() + QStringLiteral(".??????");
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo& left : file.dir().entryInfoList({pattern}, QDir::Files | QDir::Hidden)) {
        if (!left.fileName().endsWith(QLatin1String(".lock")) && left.lastModified().toUTC() < before)
            QFile::remove(left.filePath());
    }
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
    switch (clearLock(m_path + QStringLiteral(".lock"))) {
    case QLockFile::NoError:
        break;
    case QLockFile::LockFailedError:
        return fail(QStringLiteral("another copy of Mapwheel is saving to %1; nothing changed").arg(m_path));
    default:
        return fail(QStringLiteral("cannot make the lock file %1.lock; nothing was changed").arg(m_path));
    }
    removeUnfinishedSaves(m_path);

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
