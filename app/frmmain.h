#pragma once

#include "mappicture.h"
#include "measurehost.h"
#include "measurement.h"
#include "pointersink.h"
#include "viewfields.h"

#include <QMainWindow>
#include <QPointer>

class Program;
class MapView;
class QAction;
class QLineEdit;
class QMenu;
class QToolButton;
class FrmMain;

// The window of one load of the main window; it hands its close control and its background's mouse
// releases to the form.
class FrmMainWindow : public QMainWindow
{
public:
    explicit FrmMainWindow(FrmMain& form);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FrmMain& m_form;
};

// The main window form. Its fields (the view fields and the measurement) live as long as the program;
// its window and controls are built anew for every map. Controls, by object name:
//   Frame2                    toolbar strip across the top, 12132 x 612 twips
//   OpenFileButton ZoomInButton ZoomOutButton ZoomToFitButton ReCalButton ResetButton   picture buttons
//   Text7, Text8              primary and secondary trip meters; Text14, Text15 their unit names
//   Text5, Text10, Text11     hidden diagnostics: sample count, pointer X and Y over the viewport
//   Frame1 Image1 Label1 HScroll1 VScroll1   the map view
//   menufile menuView menuTools menuHelp     the menu bar; mnuPopUp the pop-up menu; mnuMRU_0.. recent maps
class FrmMain : public QObject, public MeasureHost, public PointerSink
{
    Q_OBJECT
public:
    explicit FrmMain(Program& program);
    ~FrmMain() override;

    // Builds the window around an already decoded picture and runs its load procedure; not yet shown.
    void Load(MapPicturePtr picture);
    // Closes the window. It is destroyed at once unless `now` is false (then when its event loop gets
    // back to it); at once is right only where none of its handlers can be running.
    void Unload(bool now = true);
    void Show();
    // While another map loads the window steps aside, as it was; after a failed open it comes back as it was.
    void Withdraw();
    void Restore();
    bool isLoaded() const { return !m_window.isNull(); }
    QMainWindow* window() const { return m_window.data(); }

    // Operations the commands reach.
    void calibrate();
    void Reset();
    void ZoomIn();
    void ZoomOut();
    void ZoomToFit();
    bool UpdateMRUList();
    void ShowScaling();
    void OpenAnotherMap();
    void OpenRecent(int index);
    void ShowHelp();
    void ShowReadMe();
    void ShowAbout();
    void Exit();

    Measurement& measurement() { return m_measurement; }
    ViewFields& viewFields() { return m_viewFields; }
    MapView* view() const { return m_mapView; }
    QMenu* popUpMenu() const { return m_popUp; }

    // MeasureHost
    float ZoomFactor() const override { return m_viewFields.ZoomFactor; }
    const ScaleFactors& CurrentFactors() const override;
    MessageBoxes& messageBoxes() override;
    void setReadouts(const QString& Text7, const QString& Text8, const QString& Text5) override;
    void showPopUp() override;
    void calibrationPromptClosed() override;

    // PointerSink
    void Image1_MouseDown(int Button, int Shift, float X, float Y) override;
    void Image1_MouseMove(int Button, int Shift, float X, float Y) override;
    void Image1_MouseUp(int Button, int Shift, float X, float Y) override;
    void Frame1_MouseUp(int Button, int Shift, float X, float Y) override;
    void Frame1_MouseMove(int Button, int Shift, float X, float Y) override;
    void Form_MouseUp(int Button);

    void closeRequested();

signals:
    // Commands whose work replaces or ends this window: the program runs them once the command has returned.
    void openRequested(const QString& FileName);
    void exitRequested();
    void calibrationStarted();

private:
    void Form_Load(MapPicturePtr picture);
    void buildMenus();
    void buildToolbar(QWidget* client);
    QWidget* twipsWidget(QWidget* w, double left, double top, double width, double height) const;

    Program& m_program;
    ViewFields m_viewFields;
    Measurement m_measurement;

    QPointer<FrmMainWindow> m_window;
    MapView* m_mapView = nullptr;
    double m_twipsPerPixel = 15.0;
    QLineEdit* m_text7 = nullptr;
    QLineEdit* m_text8 = nullptr;
    QLineEdit* m_text14 = nullptr;
    QLineEdit* m_text15 = nullptr;
    QLineEdit* m_text5 = nullptr;
    QLineEdit* m_text10 = nullptr;
    QLineEdit* m_text11 = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_popUp = nullptr;
    QAction* m_menuSep2 = nullptr;
    QList<QAction*> m_mnuMRU;
};
