#pragma once

#include "mappicture.h"
#include "scalefactors.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <exception>
#include <memory>

class MessageBoxes;
class SettingsStore;
class FileDialog;
class HelpViewer;
class ProcessExit;
class FrmMain;
class frmOpenImg;

// The desktop services the program uses: the real ones in main.cpp, fakes in tests.
struct PlatformServices {
    MessageBoxes& messages;
    SettingsStore& store;
    FileDialog& fileDialog;
    HelpViewer& help;
    ProcessExit& exit;
};

// Application-wide Qt settings, made once the application object exists.
void ConfigureApplication();

// The program's main module: the application globals, start-up, opening a map and the one way out.
// It owns the sequences that replace or end windows, and runs those the main window asks for from the
// event loop, after the asking command has returned: no window is destroyed under one of its own handlers.
class Program : public QObject
{
    Q_OBJECT
public:
    explicit Program(PlatformServices services);
    ~Program() override;

    // Application globals, in the order Main sets them.
    QString AppVersion;
    int16_t MaxMRU = 0;
    QString MapFile;
    bool FreshStart = false;
    std::unique_ptr<ScaleFactors> DefaultFactors;
    std::unique_ptr<ScaleFactors> CurrentFactors;
    QString StartDir;
    int16_t FatalErrorNo = 0;
    bool FirstRun = false;

    void Main();
    // Reports FatalErrorNo when positive, closes every window, releases both records and ends the process.
    void FatalError();
    void RaiseFatal(int16_t number);
    // Asks for a map when FileName is empty. True when the main window now shows the chosen map.
    bool OpenMap(const QString& FileName);
    // OpenMap, then a calibration when it opened. A request made while an open is under way is dropped.
    void OpenMapAndCalibrate(const QString& FileName);
    // An error nobody trapped (an overflow, memory exhausted): reported, then the program ends.
    void UntrappedError(const std::exception& error);

    FrmMain& frmMain() { return *m_frmMain; }
    PlatformServices& services() { return m_services; }
    bool ended() const { return m_ended; }

    // How long the splash stays, in milliseconds (tests shorten it).
    int splashInterval = 3000;

private:
    // The new main window around a decoded picture, in place of the old one.
    void ShowMap(const QString& path, MapPicturePtr picture);

    PlatformServices m_services;
    std::unique_ptr<FrmMain> m_frmMain;
    std::unique_ptr<frmOpenImg> m_frmOpenImg;
    bool m_opening = false;
    bool m_ending = false;
    bool m_ended = false;
};
