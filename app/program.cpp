#include "program.h"

#include "filedialog.h"
#include "frmmain.h"
#include "frmopenimg.h"
#include "frmscaling.h"
#include "frmsplash.h"
#include "frmwait.h"
#include "maker.h"
#include "messageboxes.h"
#include "module1.h"
#include "processexit.h"
#include "scalesettings.h"
#include "settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

void ConfigureApplication()
{
    // Every pointer sample counts: merged motion events would turn traced arcs into chords.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QApplication::setApplicationName(QStringLiteral("Mapwheel"));
    // The program ends only through FatalError; while a map loads no window of it may be showing at all.
    QApplication::setQuitOnLastWindowClosed(false);
}

Program::Program(PlatformServices services)
    : m_services(services), m_frmMain(std::make_unique<FrmMain>(*this))
{
    // Queued: the command's own event (a menu's release, a key, a click) finishes before its window goes.
    connect(m_frmMain.get(), &FrmMain::openRequested, this, &Program::OpenMapAndCalibrate,
            Qt::QueuedConnection);
    connect(
        m_frmMain.get(), &FrmMain::exitRequested, this,
        [this] {
            FatalErrorNo = 0;
            FatalError();
        },
        Qt::QueuedConnection);
    connect(m_frmMain.get(), &FrmMain::calibrationStarted, this, [this] { FreshStart = false; });
}

Program::~Program() = default;

void Program::Main()
{
    AppVersion = QStringLiteral("1.1f");
    MaxMRU = 9;
    MapFile.clear();
    FreshStart = true;
    DefaultFactors = std::make_unique<ScaleFactors>();
    CurrentFactors = std::make_unique<ScaleFactors>();
    ScaleSettings(QStringLiteral("Read"), *DefaultFactors, m_services.store,
                  [this](int16_t n) { RaiseFatal(n); });
    StartDir = QDir::currentPath();
    FirstRun = ReadFirstRun(m_services.store);

    frmSplash splash(AppVersion, [this] {
        if (OpenMap(QString())) {
            if (FirstRun)
                m_frmMain->ShowScaling();
            else
                m_frmMain->calibrate();
        }
    });
    splash.Timer1.setInterval(splashInterval);
    splash.exec();
}

void Program::FatalError()
{
    if (m_ending)
        return;
    m_ending = true;
    if (FatalErrorNo > 0) {
        m_services.messages.show(QStringLiteral("Mapwheel Fatal Error"),
                                 QStringLiteral("Fatal Error #%1\r%2")
                                     .arg(FatalErrorNo)
                                     .arg(QString::fromUtf8(Maker::SupportLine)),
                                 MessageIcon::Critical);
    }
    // Not destroyed here: a fatal error can come from inside one of the window's own handlers.
    m_frmMain->Unload(false);
    m_frmOpenImg.reset();
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
    CurrentFactors.reset();
    DefaultFactors.reset();
    m_ended = true;
    m_services.exit.exitProcess(0);
}

void Program::RaiseFatal(int16_t number)
{
    FatalErrorNo = number;
    FatalError();
}

bool Program::OpenMap(const QString& FileName)
{
    for (;;) {
        QString chosen = FileName;
        if (chosen.isEmpty()) {
            // The dialog's host is made at its first use and kept, so its settings carry over.
            if (!m_frmOpenImg)
                m_frmOpenImg = std::make_unique<frmOpenImg>();
            const QString file1 = m_services.store.value(QStringLiteral("File1")).value_or(QString());
            const std::optional<QString> picked =
                m_frmOpenImg->ShowOpen(m_services.fileDialog, InitialFolder(file1, StartDir));
            if (!picked || picked->isEmpty()) {
                // A cancel before any map ends the program; later it changes nothing.
                if (MapFile.isEmpty()) {
                    FatalErrorNo = 0;
                    FatalError();
                }
                return false;
            }
            chosen = *picked;
        }
        // The main window closes while the map loads, but is only destroyed once the new one has loaded:
        // a map that cannot be opened leaves the open one as it was.
        m_frmMain->Withdraw();
        QString error;
        if (MapPicturePtr picture = FrmWait::LoadMap(chosen, &error)) {
            ShowMap(chosen, std::move(picture));
            return true;
        }
        if (m_ending)
            return false;
        m_frmMain->Restore();
        m_services.messages.show(QStringLiteral("Map Not Opened"), error, MessageIcon::Warning);
        // With a map already open it stays as it was; at start-up the user is asked again.
        if (!MapFile.isEmpty() || !FileName.isEmpty())
            return false;
    }
}

void Program::ShowMap(const QString& path, MapPicturePtr picture)
{
    MapFile = path;
    // Until a calibration has begun, every map starts with the saved defaults.
    if (FreshStart && CurrentFactors && DefaultFactors)
        Equalise(*CurrentFactors, *DefaultFactors);
    m_frmMain->Unload();
    m_frmMain->Load(std::move(picture));
    m_frmMain->Show();
}

void Program::OpenMapAndCalibrate(const QString& FileName)
{
    if (m_opening || m_ending)
        return;
    m_opening = true;
    const bool opened = OpenMap(FileName);
    m_opening = false;
    if (opened && !m_ending)
        m_frmMain->calibrate();
}

void Program::UntrappedError(const std::exception& error)
{
    if (m_ending)
        return;
    const bool overflow = dynamic_cast<const OverflowError*>(&error) != nullptr;
    const bool memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
    const QString what =
        overflow ? QStringLiteral("a number grew too large for it (overflow)")
        : memory ? QStringLiteral("it ran out of memory")
                 : QStringLiteral("an unexpected error (%1)").arg(QString::fromLocal8Bit(error.what()));
    m_services.messages.show(
        QStringLiteral("Mapwheel Run-time Error"),
        QStringLiteral("Mapwheel has to close: %1.\rYour settings and the list of recent maps "
                       "are kept as they were.")
            .arg(what),
        MessageIcon::Critical);
    // The windows are only hidden: the error may have come from one of their own handlers, still below us.
    m_ending = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    m_ended = true;
    m_services.exit.exitProcess(1);
}
