#pragma once

#include "messageboxes.h"

#include <QList>
#include <functional>

// Answers every message box at once and keeps what it was shown, so a test can read titles and texts.
class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString title;
        QString text;
        MessageIcon icon;
    };
    void show(const QString& title, const QString& text, MessageIcon icon) override
    {
        shown.append({title, text, icon});
        if (onShow)
            onShow(shown.last());
    }
    QStringList titles() const
    {
        QStringList t;
        for (const Shown& s : shown)
            t << s.title;
        return t;
    }
    QList<Shown> shown;
    std::function<void(const Shown&)> onShow; // runs while the "box" is open
};
