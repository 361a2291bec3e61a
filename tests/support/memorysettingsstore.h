#pragma once

#include "settingsstore.h"

#include <QMap>

// A settings store in memory. A test can make it refuse writes, and reads what was written.
class MemorySettingsStore : public SettingsStore
{
public:
    std::optional<QString> value(const QString& key) const override
    {
        return entries.contains(key) ? std::optional(entries[key]) : std::nullopt;
    }
    bool setValues(const QList<std::pair<QString, QString>>& written) override
    {
        ++writes;
        if (readOnly)
            return false;
        for (const auto& [key, text] : written)
            entries.insert(key, text);
        return true;
    }
    QString errorString() const override { return readOnly ? QStringLiteral("the store is read-only") : QString(); }
    QMap<QString, QString> entries;
    bool readOnly = false;
    int writes = 0;
};
