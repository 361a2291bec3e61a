#pragma once

#include "maploader.h"
#include "mappicture.h"
#include "scalefactors.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <exception>
#include <memory>

class MessageBoxes;
class SettingsStore;
class FileDialog;
class HelpViewer;
class ProcessExit;
class WorkAreaSource;
class FrmMain;
class frmOpenImg;

// The desktop services the program uses: the real ones in main.cpp, stand-ins in tests.
struct PlatformServices {
    MessageBoxes& messages;
    SettingsStore& store;
    FileDialog& fileDialog;
    HelpViewer& help;
    ProcessExit& exit;
    const WorkAreaSource& screen;
};

// The application's state, one record owned by the program; windows get only the parts they show.
struct AppState {
    QString AppVersion;
    int16_t MaxMRU = 0;
    QString MapFile;
    bool FreshStart = false; // until the first calibration prompt, every map starts from the defaults
    ScaleFactors DefaultFactors;
    ScaleFactors CurrentFactors;
    QString StartDir;
    QStringList DataFolders; // where Maps/ and the help are looked up: StartDir, then the installed ones
    bool FirstRun = false;
    bool FactorsAccepted = false;   // the Scale Factors dialog has been confirmed with OK during this run
    bool RecentUnsavedTold = false; // the user has heard that the recent maps cannot be saved this run
};

// Application-wide Qt settings, made once the application object exists.
void ConfigureApplication();

// The program: start-up, the sequences that open maps, edit the scale factors or end the run, and the
// one way out. The main window asks for them through its signals; those that replace or end windows run
// from the event loop, after the asking command has returned, so no window is destroyed under one of its
// own handlers.
class Program : public QObject
{
    Q_OBJECT
public:
    explicit Program(PlatformServices services);
    ~Program() override;

    // Reads the settings, shows the splash, then opens mapFile, or asks for the first map when none was
    // given or it cannot be opened.
    void Main(const QString& mapFile = QString());
    // The one way out: closes every window and ends the process, saving nothing.
    void FatalError();
    // An error nobody trapped (an overflow, memory exhausted): reported, then the program ends.
    void UntrappedError(const std::exception& error);
    bool ended() const { return m_ended; }

private:
    // Asks for a map when FileName is empty. True when the main window now shows the chosen map.
    bool OpenMap(const QString& FileName);
    // OpenMap, then a calibration when it opened. A request made while an open is under way is dropped.
    void OpenMapAndCalibrate(const QString& FileName);
    // The new main window around a decoded picture, in place of the old one.
    void ShowMap(const QString& path, MapPicturePtr picture);
    // A write the settings store refused: what it was, and what stays in use for the rest of the run (if
    // anything: the recent-files list is read back from the store at every open).
    void TellUnsaved(const QString& what, const QString& kept);
    // The Scale Factors dialog, and what its OK changes: the current record, the saved defaults when asked
    // for (always in first-run mode), the meter names, and a new calibration.
    void ShowScaling();

    PlatformServices m_services;
    AppState m_state;
    std::unique_ptr<FrmMain> m_frmMain;
    std::unique_ptr<frmOpenImg> m_frmOpenImg;
    MapLoader m_loader;
    bool m_opening = false;
    bool m_ending = false;
    bool m_ended = false;
};
