#include "program.h"

#include "checkedmath.h"
#include "filedialog.h"
#include "folderof.h"
#include "frmmain.h"
#include "frmopenimg.h"
#include "frmscaling.h"
#include "frmsplash.h"
#include "frmwait.h"
#include "helpviewer.h"
#include "maker.h"
#include "messageboxes.h"
#include "processexit.h"
#include "recentfiles.h"
#include "scalesettings.h"
#include "settingskeys.h"
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

Program::Program(PlatformServices services) : m_services(services)
{
    m_state.AppVersion = QString::fromLatin1(Maker::AppVersion);
    m_frmMain = std::make_unique<FrmMain>(m_state.CurrentFactors, m_state.AppVersion, m_services.messages,
                                          m_services.screen);
    // Queued: the command's own event (a menu's release, a key, a click) finishes before its window goes.
    connect(m_frmMain.get(), &FrmMain::openRequested, this, &Program::OpenMapAndCalibrate,
            Qt::QueuedConnection);
    connect(
        m_frmMain.get(), &FrmMain::exitRequested, this, [this] { FatalError(); }, Qt::QueuedConnection);
    connect(m_frmMain.get(), &FrmMain::scalingRequested, this, &Program::ShowScaling);
    connect(m_frmMain.get(), &FrmMain::helpRequested, this,
            [this] { m_services.help.showContents(HelpFilePath(m_state.DataFolders)); });
    connect(m_frmMain.get(), &FrmMain::calibrationStarted, this, [this] { m_state.FreshStart = false; });
}

Program::~Program() = default;

void Program::Main(const QString& mapFile)
{
    m_state.MaxMRU = SettingsKey::MaxRecentFiles;
    m_state.MapFile.clear();
    m_state.FreshStart = true;
    ScaleSettings::Read(m_state.DefaultFactors, m_services.store);
    m_state.StartDir = QDir::currentPath();
    // The installed data folder is found from the program's own place, so that any installation prefix works.
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/" MW_DATA_FROM_BIN);
    m_state.DataFolders = {m_state.StartDir, QDir::cleanPath(installed)};
    m_state.FirstRun = ReadFirstRun(m_services.store);

    frmSplash splash(m_state.AppVersion);
    connect(&splash, &frmSplash::closed, this, [this, mapFile] {
        // A map given that cannot be opened has been reported; then the user is asked as at any start.
        const bool given = !mapFile.isEmpty() && OpenMap(mapFile);
        if (given || (!m_ending && OpenMap(QString()))) {
            if (m_state.FirstRun)
                ShowScaling();
            else
                m_frmMain->calibrate();
        }
    });
    splash.exec();
}

void Program::FatalError()
{
    if (m_ending)
        return;
    m_ending = true;
    // Not destroyed here: the request to end can come from inside one of the window's own handlers.
    m_frmMain->Unload(false);
    m_frmOpenImg.reset();
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
    m_ended = true;
    m_services.exit.exitProcess(0);
}

bool Program::OpenMap(const QString& FileName)
{
    for (;;) {
        QString chosen = FileName;
        if (chosen.isEmpty()) {
            // The dialog's host is made at its first use and kept, so its settings carry over.
            if (!m_frmOpenImg)
                m_frmOpenImg = std::make_unique<frmOpenImg>();
            const QString file1 = m_services.store.value(SettingsKey::File(1)).value_or(QString());
            const std::optional<QString> picked =
                m_frmOpenImg->ShowOpen(m_services.fileDialog, InitialFolder(file1, m_state.DataFolders));
            if (!picked || picked->isEmpty()) {
                // A cancel before any map ends the program; later it changes nothing.
                if (m_state.MapFile.isEmpty())
                    FatalError();
                return false;
            }
            chosen = *picked;
        }
        // The decoding starts before anything is drawn. The main window steps aside while the map loads,
        // but is only destroyed once the new one has loaded: a map that cannot be opened leaves the open
        // one as it was. The new one is built meanwhile, once the wait window is up.
        m_loader.start(chosen);
        m_frmMain->Withdraw();
        QMetaObject::invokeMethod(m_frmMain.get(), &FrmMain::Prepare, Qt::QueuedConnection);
        QString error;
        if (MapPicturePtr picture = FrmWait::ShowWhile(m_loader, &error)) {
            ShowMap(chosen, std::move(picture));
            return true;
        }
        if (m_ending)
            return false;
        m_frmMain->Restore();
        m_services.messages.show(QStringLiteral("Map Not Opened"), error, MessageIcon::Warning);
        // With a map already open it stays as it was; at start-up the user is asked again.
        if (!m_state.MapFile.isEmpty() || !FileName.isEmpty())
            return false;
    }
}

void Program::ShowMap(const QString& path, MapPicturePtr picture)
{
    m_state.MapFile = path;
    // Until a calibration has begun, every map starts with the saved defaults.
    if (m_state.FreshStart)
        Equalise(m_state.CurrentFactors, m_state.DefaultFactors);
    m_frmMain->Unload();
    m_frmMain->Load(std::move(picture), m_state.MapFile);
    m_frmMain->Show();
    // Saved while the window manager puts the window up: the user need not wait for the write.
    RecentFiles recent(m_services.store);
    // A store that cannot be written keeps the list it had; the menu still shows the new one.
    const bool saved = recent.UpdateMRUList(m_state.MapFile, m_state.MaxMRU);
    m_frmMain->UpdateMRUList(recent.captions());
    // Once a run is enough: every open would fail alike.
    if (!saved && !m_state.RecentUnsavedTold) {
        m_state.RecentUnsavedTold = true;
        TellUnsaved(QStringLiteral("The list of recent maps"), QString());
    }
}

void Program::TellUnsaved(const QString& what, const QString& kept)
{
    QString text =
        what + QStringLiteral(" could not be saved: ") + m_services.store.errorString() + QLatin1Char('.');
    if (!kept.isEmpty())
        text += QLatin1Char('\r') + kept + QStringLiteral(" until Mapwheel ends.");
    m_services.messages.show(QStringLiteral("Mapwheel"), text, MessageIcon::Warning);
}

void Program::ShowScaling()
{
    // Until the first OK of the run, every opening starts from the saved defaults.
    if (!m_state.FactorsAccepted)
        Equalise(m_state.CurrentFactors, m_state.DefaultFactors);
    const std::optional<FrmScaling::Accepted> edit =
        FrmScaling::Edit(m_state.CurrentFactors, m_state.DefaultFactors, m_state.FirstRun,
                         m_services.messages, m_services.screen.twips(), m_frmMain->window());
    if (!edit)
        return;
    m_frmMain->setUnitNames(edit->factors.Unit1(), edit->factors.Unit2());
    Equalise(m_state.CurrentFactors, edit->factors);
    if (edit->overwriteDefaults || m_state.FirstRun) {
        Equalise(m_state.DefaultFactors, edit->factors);
        // A store that cannot be written keeps the defaults it had; this run goes on with the new ones.
        if (!ScaleSettings::Write(m_state.DefaultFactors, m_services.store))
            TellUnsaved(QStringLiteral("The new default units"), QStringLiteral("They stay in use"));
        m_state.FirstRun = false;
    }
    m_state.FactorsAccepted = true;
    m_frmMain->calibrate();
}

void Program::OpenMapAndCalibrate(const QString& FileName)
{
    if (m_opening || m_ending)
        return;
    m_opening = true;
    m_frmMain->setOpening(true);
    const bool opened = OpenMap(FileName);
    m_opening = false;
    m_frmMain->setOpening(false);
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
