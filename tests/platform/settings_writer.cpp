// A second copy of the program, as far as the settings store is concerned: writes the five scale entries
// and one recent-file entry, all with the same text, again and again. It says "saving" as it begins.
// Usage: settings_writer <file> <tag> <count> <recent-file key>
//    or: settings_writer <file> --hold-lock
// The second form stands for a copy stopped in the middle of a write: it takes the lock file QSettings
// writes under, says "locked" and waits to be killed.
#include "qtsettingsstore.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0); // the test waits for what it says
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[2] == QLatin1String("--hold-lock")) {
        QLockFile lock(args[1] + QStringLiteral(".lock"));
        if (!lock.lock())
            return 1;
        std::printf("locked\n");
        for (;;)
            QThread::sleep(60);
    }
    if (args.size() != 5)
        return 2;
    QtSettingsStore store(args[1]);
    std::printf("saving\n");
    for (int i = 0; i < args[3].toInt(); ++i) {
        const QString text = QStringLiteral("%1-%2").arg(args[2]).arg(i);
        QList<std::pair<QString, QString>> entries{{args[4], text}};
        for (const char* key : {"Unit1", "Unit2", "CalFact", "UnitFact", "Abbrev"})
            entries.append({key, text});
        if (!store.setValues(entries)) {
            std::fprintf(stderr, "%s\n", qPrintable(store.errorString()));
            return 1;
        }
    }
    return 0;
}
