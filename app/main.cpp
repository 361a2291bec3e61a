#include "frmmain.h"
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
    QApplication app(argc, argv);
    ConfigureApplication();

    QtMessageBoxes messages;
    QtSettingsStore store;
    QtFileDialog fileDialog;
    QtHelpViewer help(messages);
    RealExit exit;
    Program program(PlatformServices{messages, store, fileDialog, help, exit});
    program.Main();
    if (program.ended())
        return 0;
    return app.exec();
}
