#include "frmopenimg.h"

#include "folderof.h"

frmOpenImg::frmOpenImg()
{
    Form_Load();
}

void frmOpenImg::Form_Load()
{
    m_dialog.title = QString::fromLatin1(Title);
    m_dialog.filters = {
        {QString::fromLatin1(AllFilesDescription), {QStringLiteral("*.*")}},
        {QString::fromLatin1(ImageFilesDescription),
         {QStringLiteral("*.gif"), QStringLiteral("*.jpg"), QStringLiteral("*.bmp")}},
    };
    m_dialog.filterIndex = 2;
}

std::optional<QString> frmOpenImg::ShowOpen(FileDialog& dialog, const QString& initialFolder)
{
    m_dialog.fileName.clear();
    m_dialog.initialFolder = initialFolder.isEmpty() ? m_lastFolder : initialFolder;
    std::optional<QString> chosen = dialog.getOpenFileName(m_dialog);
    if (const int index = dialog.selectedFilterIndex(); index >= 1 && index <= m_dialog.filters.size())
        m_dialog.filterIndex = index;
    if (chosen) {
        m_dialog.fileName = *chosen;
        m_lastFolder = FolderOf(*chosen);
    }
    return chosen;
}
