#include "qtsettingsstore.h"

#include "settingskeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace
{
QString sectionKey(const QString& key)
{
    return QString::fromLatin1(SettingsKey::Section) + QLatin1Char('/') + key;
}

// QSettings parses and writes the INI text, but always on a private copy: its process-wide cache then
// never serves a stale version of the real file, nor entries of a write that failed.
class PrivateCopy
{
public:
    bool create(const QByteArray& bytes)
    {
        m_file.setFileTemplate(QDir::tempPath() + QStringLiteral("/mapwheel-settings-XXXXXX.ini"));
        if (!m_file.open())
            return false;
        const bool written = m_file.write(bytes) == bytes.size();
        m_file.close();
        return written;
    }
    QString fileName() const { return m_file.fileName(); }
    QByteArray readBack()
    {
        QFile f(m_file.fileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryFile m_file;
};

// QSettings reports a damaged file only once something has been read from it.
bool parsesWhole(const QString& fileName)
{
    QSettings settings(fileName, QSettings::IniFormat);
    settings.allKeys();
    return settings.status() == QSettings::NoError;
}

// Whole text of the real file. Nothing when it exists but cannot be read; empty when it does not exist.
std::optional<QByteArray> readWhole(const QString& path)
{
    // Open first and ask whether the file exists only when that fails: QFileInfo can miss a file for a
    // moment while another copy renames its new text over it.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (QFileInfo(path).exists())
            return std::nullopt;
        return QByteArray();
    }
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
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
} // namespace

QtSettingsStore::QtSettingsStore() : m_path(defaultFileName()) {}

QtSettingsStore::QtSettingsStore(const QString& filePath) : m_path(filePath) {}

QString QtSettingsStore::defaultFileName()
{
    const QString name = QString::fromLatin1(SettingsKey::Application);
    return QSettings(QSettings::IniFormat, QSettings::UserScope, name, name).fileName();
}

std::optional<QString> QtSettingsStore::value(const QString& key) const
{
    const std::optional<QByteArray> bytes = readWhole(m_path);
    if (!bytes || bytes->isEmpty())
        return std::nullopt;
    PrivateCopy copy;
    if (!copy.create(*bytes))
        return std::nullopt;
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    const QVariant v = settings.value(sectionKey(key));
    if (settings.status() != QSettings::NoError || !v.isValid())
        return std::nullopt;
    return asText(v);
}

bool QtSettingsStore::fail(const QString& why)
{
    m_error = why;
    return false;
}

bool QtSettingsStore::replaceWhole(const QByteArray& text)
{
    // The new text goes to a file beside the old one that is then renamed over it: rename() replaces
    // the name in one step, so a reader finds the old text or the new one, never a missing or part-written
    // file. (QSaveFile briefly leaves no file at all under the name while it commits.)
    const QFileInfo info(m_path);
    if (info.exists() && !info.isWritable())
        return fail(QStringLiteral("%1 is read-only").arg(m_path));
    const QString newPath = QStringLiteral("%1.new-%2-%3")
                                .arg(m_path)
                                .arg(QCoreApplication::applicationPid())
                                .arg(quintptr(this), 0, 16);
    QFile out(newPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(QStringLiteral("cannot write in %1: %2").arg(info.absolutePath(), out.errorString()));
    if (info.exists())
        out.setPermissions(info.permissions());
    const bool written = out.write(text) == text.size() && out.flush() && ::fsync(out.handle()) == 0;
    out.close();
    if (!written || out.error() != QFileDevice::NoError) {
        QFile::remove(newPath);
        return fail(QStringLiteral("cannot write %1").arg(newPath));
    }
    if (std::rename(QFile::encodeName(newPath).constData(), QFile::encodeName(m_path).constData()) != 0) {
        QFile::remove(newPath);
        return fail(QStringLiteral("cannot replace %1").arg(m_path));
    }
    return true;
}

bool QtSettingsStore::setValues(const QList<std::pair<QString, QString>>& entries)
{
    m_error.clear();
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("cannot create the folder %1").arg(info.absolutePath()));

    // A lock left behind by a copy that crashed is taken over once its process is gone.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(m_lockWaitMs))
        return fail(lock.error() == QLockFile::LockFailedError
                        ? QStringLiteral("another copy of the program is writing %1").arg(m_path)
                        : QStringLiteral("cannot lock %1").arg(m_path));

    // Read under the lock, so that the entries another copy has just written are kept.
    const std::optional<QByteArray> old = readWhole(m_path);
    if (!old)
        return fail(QStringLiteral("cannot read %1").arg(m_path));
    auto copy = std::make_unique<PrivateCopy>();
    if (!copy->create(*old))
        return fail(QStringLiteral("cannot make a temporary copy of %1").arg(m_path));
    if (!parsesWhole(copy->fileName())) {
        // A damaged file reads as holding nothing, so nothing the program could read is lost by
        // starting afresh.
        copy = std::make_unique<PrivateCopy>();
        if (!copy->create(QByteArray()))
            return fail(QStringLiteral("cannot make a temporary copy of %1").arg(m_path));
    }
    {
        QSettings settings(copy->fileName(), QSettings::IniFormat);
        for (const auto& [key, value] : entries)
            settings.setValue(sectionKey(key), value);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return fail(QStringLiteral("cannot prepare the new text of %1").arg(m_path));
    }
    const QByteArray text = copy->readBack();

    return replaceWhole(text);
}
