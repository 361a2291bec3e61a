#pragma once

#include "helpviewer.h"
#include "messageboxes.h"

#include <QPointer>
#include <QWidget>

class QTextBrowser;
class QWidget;

// Shows the program's help file, an HTML page of topics, in a small window of its own that stays open
// beside the main window. A file that cannot be read is reported in a message box.
//
// Controls of the window:
//   helpBrowser  the topics, with links between them
class QtHelpViewer : public HelpViewer
{
public:
    explicit QtHelpViewer(MessageBoxes& messages) : m_messages(messages) {}
    ~QtHelpViewer() override;

    void showContents(const QString& helpFile) override;

    // The help window while it is open, or null.
    QWidget* window() const { return m_window; }

private:
    MessageBoxes& m_messages;
    QPointer<QWidget> m_window;
    QPointer<QTextBrowser> m_browser;
};
