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

class FileDialog
{
public:
    virtual ~FileDialog() = default;
    // The full path chosen, or nothing when the user cancelled.
    virtual std::optional<QString> getOpenFileName(const FileDialogRequest& request) = 0;
    // The 1-based filter entry shown when the dialog last closed, so that the next open can start on the
    // user's choice; 0 when the dialog does not say.
    virtual int selectedFilterIndex() const { return 0; }
};
