#include "commandline.h"
#include "guardedapplication.h"
#include "maker.h"
#include "qtworkarea.h"
#include "processexit.h"
#include "program.h"
#include "qtfiledialog.h"
#include "qthelpviewer.h"
#include "qtmessageboxes.h"
#include "qtsettingsstore.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
class RealExit : public ProcessExit
{
public:
    void exitProcess(int code) override
    {
        // Everything worth keeping is already written; end at once, as the program's only way out.
        std::fflush(nullptr);
        std::_Exit(code);
    }
};
} // namespace

int main(int argc, char** argv)
{
    // Asked for its version or its usage, the program answers at once, before anything needs a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("mapwheel %s\n", Maker::AppVersion);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    GuardedApplication app(argc, argv);
    // Read once Qt has taken out the options that are its own (-platform, -display...).
    const CommandLine line = ReadCommandLine(QCoreApplication::arguments().mid(1), QDir::currentPath());
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "mapwheel: %s\n%s", qPrintable(line.error), UsageText);
        return 2;
    }
    ConfigureApplication();
    // The desktop matches the windows to the installed entry; they show the icon that entry shows.
    QGuiApplication::setDesktopFileName(QStringLiteral(MW_APP_ID));
    QApplication::setApplicationVersion(QString::fromLatin1(Maker::AppVersion));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/mapwheel.svg")));

    QtMessageBoxes messages;
    QtSettingsStore store;
    QtFileDialog fileDialog;
    QtHelpViewer help(messages);
    RealExit exit;
    QtWorkAreaSource screen;
    Program program(PlatformServices{messages, store, fileDialog, help, exit, screen});
    app.setUntrappedHandler([&program](const std::exception& e) { program.UntrappedError(e); });
    try {
        program.Main(line.mapFile);
    } catch (const std::exception& e) {
        program.UntrappedError(e); // outside any event: reading the settings at start-up
    }
    if (program.ended())
        return 0;
    return app.exec();
}
