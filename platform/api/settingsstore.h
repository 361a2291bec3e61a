#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The per-user settings store: string values by key, all in the program's one section.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when the key is absent or the store cannot be read.
    virtual std::optional<QString> value(const QString& key) const = 0;
    // Writes the entries together. False when the store cannot be written; what was there stays.
    virtual bool setValues(const QList<std::pair<QString, QString>>& entries) = 0;
    // Why the last setValues() failed, in words for the user.
    virtual QString errorString() const = 0;
};
