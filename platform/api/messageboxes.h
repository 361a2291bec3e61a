#pragma once

#include <QString>

enum class MessageIcon { None, Information, Warning, Critical, Question };

// Modal message boxes with a single OK button. Texts use a carriage return (character 13) to start a
// new line; the call returns when the user has closed the box.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString& title, const QString& text, MessageIcon icon) = 0;
};
