#pragma once

#include "settingsstore.h"

#include <QMap>

// A settings store in memory. Absent keys read as nothing; writes can be made to fail.
class MemorySettingsStore : public SettingsStore
{
public:
    std::optional<QString> value(const QString& key) const override
    {
        const auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional<QString>(*it);
    }
    bool setValues(const QList<std::pair<QString, QString>>& entries) override
    {
        ++writes;
        if (refuseWrites)
            return false;
        for (const auto& [key, text] : entries)
            values[key] = text;
        return true;
    }
    QMap<QString, QString> values;
    bool refuseWrites = false;
    int writes = 0;
};
