// A second copy of the program, as far as the settings store is concerned: writes the five scale entries
// and one recent-file entry, all with the same text, again and again.
// Usage: settings_writer <file> <tag> <count> <recent-file key>
#include "qtsettingsstore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    QtSettingsStore store(args[1]);
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
