#include "guardedapplication.h"
#include "maker.h"
#include "module3.h"
#include "processexit.h"
#include "program.h"
#include "qtfiledialog.h"
#include "qthelpviewer.h"
#include "qtmessageboxes.h"
#include "qtsettingsstore.h"

#include <QApplication>
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
    // Any other argument is not read.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("mapwheel %s\n", Maker::AppVersion);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("Usage: mapwheel [--version | --help]\n"
                    "Measures routes on scanned maps. Started without arguments it shows its splash, then\n"
                    "asks for a map (GIF, JPEG or BMP) in the Maps folder of the folder it starts in.\n");
        return 0;
    }
    GuardedApplication app(argc, argv);
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
        program.Main();
    } catch (const std::exception& e) {
        program.UntrappedError(e); // outside any event: reading the settings at start-up
    }
    if (program.ended())
        return 0;
    return app.exec();
}
