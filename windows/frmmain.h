#pragma once

#include "mappicture.h"
#include "measurement.h"
#include "viewfields.h"
#include "viewnavigation.h"
#include "workarea.h"

#include <QMainWindow>
#include <QPointer>

class MessageBoxes;
class MapView;
class QAction;
class QLineEdit;
class QMenu;

// The window of one load of the main window; its close control asks the program to end.
class FrmMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    using QMainWindow::QMainWindow;

signals:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
};

// The main window form. Its fields (the view fields and the measurement) live as long as the program;
// its window and controls are built anew for every map. It turns commands and pointer events into calls
// of the view and the measurement and shows what they return; what replaces or ends windows, and the
// settings, belong to the program, which it asks through its signals. Controls, by object name:
//   Frame2                    toolbar strip across the top, 12132 x 612 twips
//   OpenFileButton ZoomInButton ZoomOutButton ZoomToFitButton ReCalButton ResetButton   picture buttons
//   Text7, Text8              primary and secondary trip meters; Text14, Text15 their unit names
//   Text5, Text10, Text11     hidden diagnostics: sample count, pointer X and Y over the viewport
//   Frame1 Image1 Label1 HScroll1 VScroll1   the map view
//   menufile menuView menuTools menuHelp     the menu bar; mnuPopUp the pop-up menu; mnuMRU_0.. recent maps
class FrmMain : public QObject
{
    Q_OBJECT
public:
    // CurrentFactors is read at every use: the meter names at load, the factors of every measurement.
    FrmMain(const ScaleFactors& CurrentFactors, const QString& AppVersion, MessageBoxes& messages,
            const WorkAreaSource& screen);
    ~FrmMain() override;

    // Builds the next window and its controls, hidden, while a map loads (once; a failed open keeps it
    // for the next), so that the picture alone is left to put in once it comes.
    void Prepare();
    // Puts the picture into the next window (built now unless prepared), in place of the window shown,
    // and runs its load procedure; not yet shown. The caption names MapFile.
    void Load(MapPicturePtr picture, const QString& MapFile);
    // Closes the window. It is destroyed at once unless `now` is false (then when its event loop gets
    // back to it); at once is right only where none of its handlers can be running.
    void Unload(bool now = true);
    void Show();
    // The recent-files menu: `recent`, newest first.
    void UpdateMRUList(const QStringList& recent);
    // While another map loads the window steps aside, as it was; after a failed open it comes back as it was.
    void Withdraw();
    void Restore();
    QMainWindow* window() const { return m_c.window.data(); }

    void calibrate();
    // While the program opens a map, a map dropped on the window is refused.
    void setOpening(bool opening) { m_opening = opening; }
    // Text14 and Text15, the names of the two meters.
    void setUnitNames(const QString& Unit1, const QString& Unit2);

signals:
    // Commands whose work belongs to the program: it runs them once the command has returned. A map file
    // dropped on the window asks for an open too.
    void openRequested(const QString& FileName);
    void exitRequested();
    void scalingRequested();
    void helpRequested();
    // The calibration prompt has been closed: the first calibration of the run has begun.
    void calibrationStarted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(); // the window and its controls, into m_c
    void buildMenus();
    void buildToolbar(QWidget* client);
    QWidget* twipsWidget(QWidget* w, double left, double top, double width, double height) const;
    void Reset();
    void ZoomIn();
    void ZoomOut();
    void ZoomToFit();
    void navigate(const ViewNavigation& n);
    void OpenAnotherMap();
    void OpenRecent(int index);
    void ShowReadMe();
    void ShowAbout();
    void showPopUp();
    // Shows what the measurement returned: readouts, then its prompts, then the pop-up.
    void show(const MeasureOutcome& outcome);
    MeasureContext context() const { return {m_viewFields.ZoomFactor, m_factors}; }

    const ScaleFactors& m_factors;
    const QString m_appVersion;
    MessageBoxes& m_messages;
    const WorkAreaSource& m_screen;
    bool m_opening = false;
    ViewFields m_viewFields;
    Measurement m_measurement;

    // The controls of one load of the window. m_c is the window shown; m_next is built while a map
    // loads, hidden, and takes its place when the picture comes.
    struct Controls {
        QPointer<FrmMainWindow> window;
        MapView* mapView = nullptr;
        QLineEdit* text7 = nullptr;
        QLineEdit* text8 = nullptr;
        QLineEdit* text14 = nullptr;
        QLineEdit* text15 = nullptr;
        QLineEdit* text5 = nullptr;
        QLineEdit* text10 = nullptr;
        QLineEdit* text11 = nullptr;
        QMenu* fileMenu = nullptr;
        QMenu* popUp = nullptr;
        QAction* menuSep2 = nullptr;
        QList<QAction*> mnuMRU;
    };
    Controls m_c;
    Controls m_next;
    TwipsMapping m_twips;
};
