#pragma once

#include "filedialog.h"

#include <QString>
#include <optional>

// The never-shown host of the file-open dialog. It is made once and lives until the program ends, so
// that the dialog's settings, and the file type and folder the user last chose, carry over between opens.
class frmOpenImg
{
public:
    frmOpenImg(); // runs Form_Load

    // Shows the dialog with an empty file name, starting in initialFolder (or, when that is "", in the
    // folder of the file last chosen). The full path chosen, or nothing when the user cancelled.
    std::optional<QString> ShowOpen(FileDialog& dialog, const QString& initialFolder);

    static constexpr const char* Title = "Open Map Image...";
    static constexpr const char* AllFilesDescription = "All Files (*.*)";
    static constexpr const char* ImageFilesDescription = "Image Files (*.gif, *.jpg,*.bmp)";

private:
    void Form_Load();

    FileDialogRequest m_dialog;
    QString m_lastFolder;
};
