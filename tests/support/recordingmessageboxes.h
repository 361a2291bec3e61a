#pragma once

#include "messageboxes.h"

#include <QList>

// Answers every message box at once and keeps what it was shown.
struct RecordingMessageBoxes : MessageBoxes {
    struct Shown {
        QString title;
        QString text;
        MessageIcon icon;
    };
    void show(const QString& title, const QString& text, MessageIcon icon) override { shown.append({title, text, icon}); }
    QList<Shown> shown;
};
