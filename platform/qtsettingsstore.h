#pragma once

#include "settingsstore.h"

#include <QString>

// The settings store as an INI file of the user's, section "Mapwheel".
//
// Reads take the file as it is on disk at the time of the call; a file that cannot be read or parsed
// reads as if no key were there. setValues() writes all its entries in one replacement of the whole file
// (the new text goes to a temporary file that is then renamed over the old one), under a lock file that
// keeps a second copy of the program from writing at the same moment. A failed write leaves the file as
// it was.
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
    QString errorString() const { return m_error; }

    // How long setValues() waits for another copy of the program to finish writing, in ms.
    void setLockWait(int ms) { m_lockWaitMs = ms; }

    static QString defaultFileName();

private:
    bool fail(const QString& why);
    bool replaceWhole(const QByteArray& text);

    QString m_path;
    QString m_error;
    int m_lockWaitMs = 10000;
};
