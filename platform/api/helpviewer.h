#pragma once

#include <QString>

// Shows a help file at its contents. A missing or unreadable file is reported by the viewer itself.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showContents(const QString& helpFile) = 0;
};
