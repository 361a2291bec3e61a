#pragma once

#include "messageboxes.h"

// The real modal QMessageBox, parented to the active window.
class QtMessageBoxes : public MessageBoxes
{
public:
    void show(const QString& title, const QString& text, MessageIcon icon) override;
};
