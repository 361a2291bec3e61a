#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The file-open dialog. Filters are (description, patterns) pairs; filterIndex is 1-based.
struct FileDialogRequest {
    QString title;
    QList<std::pair<QString, QStringList>> filters;
    int filterIndex = 1;
    QString initialFolder;
    QString fileName;
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // The full path chosen, or nothing when the user cancelled.
    virtual std::optional<QString> getOpenFileName(const FileDialogRequest& request) = 0;
};
