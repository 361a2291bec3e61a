#pragma once

#include "filedialog.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QFileDialog;
class QWidget;

// The real file-open dialog, drawn by Qt itself (not the desktop's own), so that each filter entry can
// show its description exactly while filtering by its own patterns: Qt would otherwise read the patterns
// out of the description's parentheses, and "(*.gif, *.jpg,*.bmp)" read that way matches nothing.
// Patterns match whatever the letter case of the file name.
class QtFileDialog : public FileDialog
{
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : m_parent(parent) {}

    std::optional<QString> getOpenFileName(const FileDialogRequest& request) override;
    int selectedFilterIndex() const override { return m_selectedFilter; }

    // The dialog set up for the request, not yet shown; getOpenFileName runs it modally.
    std::unique_ptr<QFileDialog> build(const FileDialogRequest& request) const;

    // The 1-based filter entry the dialog shows now.
    static int selectedFilterIndex(const QFileDialog& dialog);

    // The text Qt is given for a filter entry: the description's name with the real patterns.
    static QString qtFilterText(const QString& description, const QStringList& patterns);

private:
    QPointer<QWidget> m_parent;
    int m_selectedFilter = 0;
};
