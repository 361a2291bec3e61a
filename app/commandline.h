#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, once Qt has taken its own options out of it (--version and --help are
// answered before that, without a display).
struct CommandLine {
    QString mapFile; // absolute; "" when no map was given
    QString error;   // why the arguments cannot be followed; "" when they can
};

// arguments: those after the program's name. One map file may be given, relative to workingDir or
// absolute; "--" ends the options, for a file whose name begins with "-".
CommandLine ReadCommandLine(const QStringList& arguments, const QString& workingDir);

// The --help text.
extern const char* const UsageText;
