#pragma once

#include "filedialog.h"
#include "helpviewer.h"
#include "memorysettingsstore.h"
#include "processexit.h"
#include "recordingmessageboxes.h"

#include <functional>

// In-memory stand-ins for the desktop's services, for tests that run the whole program in-process.

// Answers the file dialog from a script: each call takes the next answer (nothing = cancel).
class ScriptedFileDialog : public FileDialog
{
public:
    std::optional<QString> getOpenFileName(const FileDialogRequest& request) override
    {
        requests.append(request);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    QList<std::optional<QString>> answers;
    QList<FileDialogRequest> requests;
};

class RecordingHelpViewer : public HelpViewer
{
public:
    void showContents(const QString& helpFile) override { shown.append(helpFile); }
    QStringList shown;
};

class RecordingExit : public ProcessExit
{
public:
    void exitProcess(int code) override
    {
        ended = true;
        exitCode = code;
    }
    bool ended = false;
    int exitCode = -1;
};
