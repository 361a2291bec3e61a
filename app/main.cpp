#include "guardedapplication.h"
#include "module3.h"
#include "processexit.h"
#include "program.h"
#include "qtfiledialog.h"
#include "qthelpviewer.h"
#include "qtmessageboxes.h"
#include "qtsettingsstore.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

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
    GuardedApplication app(argc, argv);
    ConfigureApplication();

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
