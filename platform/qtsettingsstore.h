#pragma once

#include "settingsstore.h"

#include <QString>
#include <memory>

class QSettings;

// The settings store as an INI file of the user's, section "Mapwheel", kept by QSettings alone: QSettings
// already writes safely beside other processes, so the store adds only what it lacks on this Qt.
//
// - A write replaces the whole file in one step, so a reader finds the old text or the new one. Two copies
//   of the program writing at once take turns on the lock file "<file>.lock", and under the lock each
//   re-reads the file if it has changed, so neither loses the other's keys. A write waits about a second
//   at most for the other copy's turn to end, and is then refused. A lock file left by a copy that died is
//   taken over at once when it names a process gone from this computer, or is still empty after a moment (the
//   copy died before writing in it); so are the "<file>.lock.rmlock", ".rmlock.rmlock"... files a copy leaves
//   when it dies while removing such a lock. A lock file of another computer's is taken over once it is a
//   moment old, unless that computer's copy still holds it.
// - Every read looks at the file again if it has changed, so it sees another copy's writes.
//   QSettings tells a changed file by its size and modification time only, and the time is as coarse as
//   the file system's clock (a few ms here): a change that keeps the size within one tick goes unseen, by
//   a reader and by a writer's re-read alike. Copies driven by a user do not write that close together.
// - A file that cannot be parsed reads as holding nothing, and the next write starts it afresh.
// - setValues() refuses, before anything changes, when the file or its folder cannot be written, the disk has
//   no room, or another copy's write holds the lock file past that second. It checks the room itself because
//   QSaveFile on Qt 6.4 puts the new file in place even when its text could not be written to the end: the
//   settings would be cut short or empty, and QSettings would report success. A write that still fails
//   part-way is reported. The file may then be cut short; or, when QSettings saw the failure, it is as it
//   was, and QSettings keeps the entries in this process's memory and tries them again at the next access to
//   the file.
class QtSettingsStore : public SettingsStore
{
public:
    // The per-user location of the application "Holloway".
    QtSettingsStore();
    // Any file; tests use a temporary one.
    explicit QtSettingsStore(const QString& filePath);

    std::optional<QString> value(const QString& key) const override;
    bool setValues(const QList<std::pair<QString, QString>>& entries) override;

    QString fileName() const { return m_path; }
    // Why the last setValues() failed, empty after a success.
    QString errorString() const override { return m_error; }

    static QString defaultFileName();

private:
    std::unique_ptr<QSettings> open(bool& damaged) const;
    bool fail(const QString& why);

    QString m_path;
    QString m_error;
};
