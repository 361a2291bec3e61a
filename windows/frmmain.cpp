#include "frmmain.h"

#include "frmabout.h"
#include "frmreadme.h"
#include "maker.h"
#include "mapview.h"
#include "messageboxes.h"
#include "shellpictures.h"

#include <QCloseEvent>
#include <QCursor>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolButton>

namespace
{
// The client area below the menu bar: a right release on its own background opens the pop-up. Controls
// that ignore a release (the toolbar strip, its buttons) pass it up to here; those are not the background.
class ClientArea : public QWidget
{
public:
    ClientArea(QMenu*& popUp, QWidget* parent) : QWidget(parent), m_popUp(popUp) {}

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::RightButton && !childAt(e->position().toPoint()) && m_popUp)
            m_popUp->popup(QCursor::pos());
    }

private:
    QMenu*& m_popUp;
};

// The text to give a QAction so that the menu shows a path literally: no "&" becomes a mnemonic.
QString menuTextFor(QString path)
{
    return path.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QFont fontWithFallback(const QString& family, int points, QFont::StyleHint hint)
{
    QFont f(family, points, QFont::Bold);
    f.setStyleHint(hint);
    if (hint == QFont::TypeWriter)
        f.setFixedPitch(true);
    return f;
}

QLineEdit* readout(QWidget* parent, const char* name, const char* accessible, const QString& text, bool meter,
                   const QColor& colour)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(QLatin1String(accessible));
    box->setReadOnly(true); // Tab reaches it to read or copy, never to edit
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, colour);
    if (meter) {
        // Fixed pitch and right-aligned, so the digits before the point keep their place.
        box->setFont(fontWithFallback(QStringLiteral("Courier"), 15, QFont::TypeWriter));
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else {
        box->setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 12, QFont::SansSerif));
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    }
    box->setPalette(pal);
    return box;
}
} // namespace

void FrmMainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit closeRequested();
}

FrmMain::FrmMain(const ScaleFactors& CurrentFactors, const QString& AppVersion, MessageBoxes& messages,
                 const WorkAreaSource& screen)
    : m_factors(CurrentFactors), m_appVersion(AppVersion), m_messages(messages), m_screen(screen)
{
}

FrmMain::~FrmMain()
{
    delete m_window.data();
}

QWidget* FrmMain::twipsWidget(QWidget* w, double left, double top, double width, double height) const
{
    w->setGeometry(m_twips.toPixels(left, top, width, height));
    return w;
}

int16_t FrmMain::Load(MapPicturePtr picture, const QString& MapFile, const QStringList& recent)
{
    if (m_window)
        Unload();
    m_window = new FrmMainWindow;
    m_window->setObjectName(QStringLiteral("FrmMain"));
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(m_window, &FrmMainWindow::closeRequested, this, &FrmMain::exitRequested);
    m_twips = m_screen.twips();
    auto* client = new ClientArea(m_popUp, m_window);
    client->setObjectName(QStringLiteral("Client"));
    m_window->setCentralWidget(client);
    // The size it will have once maximized, so that the map is fitted once, to the final viewport.
    m_window->resize(m_screen.workArea().size());
    buildMenus();
    buildToolbar(client);
    m_mapView = new MapView(m_viewFields, client, m_screen);
    m_mapView->setParent(m_window);
    // Tab goes round the map, then the meters and their names.
    QWidget::setTabOrder(m_mapView->viewport(), m_text7);
    QWidget::setTabOrder(m_text7, m_text14);
    QWidget::setTabOrder(m_text14, m_text8);
    QWidget::setTabOrder(m_text8, m_text15);
    connect(m_mapView, &MapView::Image1_MouseDown, this,
            [this](int Button, int, float X, float Y) { show(m_measurement.Image1_MouseDown(Button, X, Y, context())); });
    connect(m_mapView, &MapView::Image1_MouseMove, this,
            [this](int Button, int, float X, float Y) { show(m_measurement.Image1_MouseMove(Button, X, Y, context())); });
    connect(m_mapView, &MapView::Image1_MouseUp, this,
            [this](int Button, int, float X, float Y) { show(m_measurement.Image1_MouseUp(Button, X, Y, context())); });
    connect(m_mapView, &MapView::Frame1_MouseUp, this, [this](int Button, int, float, float) {
        if (Button == 2)
            showPopUp();
    });
    connect(m_mapView, &MapView::navigationRequested, this, &FrmMain::navigate);
    connect(m_mapView, &MapView::Frame1_MouseMove, this, [this](int Button, int, float X, float Y) {
        if (Button == 1) {
            m_text10->setText(QString::number(X));
            m_text11->setText(QString::number(Y));
        }
    });

    // Form_Load
    m_window->setWindowTitle(QStringLiteral("Mapwheel v") + m_appVersion + QLatin1Char(' ') +
                             QString::fromUtf8(Maker::CaptionNotice) + QStringLiteral(":-  ") + MapFile);
    if (!m_mapView->FitToScreen())
        return 417;
    m_mapView->loadPicture(std::move(picture));
    ZoomToFit();
    setUnitNames(m_factors.Unit1(), m_factors.Unit2());
    UpdateMRUList(recent);
    return 0;
}

void FrmMain::Unload(bool now)
{
    if (!m_window)
        return;
    FrmMainWindow* old = m_window;
    m_window = nullptr;
    m_mapView = nullptr;
    m_text7 = m_text8 = m_text14 = m_text15 = m_text5 = m_text10 = m_text11 = nullptr;
    m_fileMenu = m_popUp = nullptr;
    m_menuSep2 = nullptr;
    m_mnuMRU.clear();
    old->hide();
    if (now)
        delete old;
    else
        old->deleteLater();
}

void FrmMain::Show()
{
    if (!m_window)
        return;
    m_window->showMaximized();
    m_window->raise();
    m_window->activateWindow();
    m_mapView->focusMap(); // the arrow keys and Page Up/Down move the map at once
}

void FrmMain::Withdraw()
{
    if (m_window)
        m_window->hide();
}

void FrmMain::Restore()
{
    if (!m_window)
        return;
    m_window->show(); // keeps the state it had, maximized or not
    m_window->raise();
    m_window->activateWindow();
}

void FrmMain::buildMenus()
{
    QMenuBar* bar = m_window->menuBar();
    // The first key is the one the menu shows; the others are the desktop's usual keys for the command.
    auto item = [this](QMenu* menu, const char* name, const QString& caption, const QList<QKeySequence>& keys,
                       auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setShortcuts(keys);
        QObject::connect(a, &QAction::triggered, m_window, handler);
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* s = menu->addSeparator();
        s->setObjectName(QLatin1String(name));
        return s;
    };

    m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("menufile"));
    item(m_fileMenu, "menuOpen", QStringLiteral("&Open Another Map"), {QKeySequence(Qt::CTRL | Qt::Key_O)},
         [this] { OpenAnotherMap(); });
    separator(m_fileMenu, "menusep1");
    QAction* first = item(m_fileMenu, "mnuMRU_0", QString(), {}, [this] { OpenRecent(0); });
    m_mnuMRU.append(first);
    m_menuSep2 = separator(m_fileMenu, "menuSep2");
    m_menuSep2->setVisible(false);
    item(m_fileMenu, "menuExit", QStringLiteral("E&xit"), {QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { emit exitRequested(); });

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    item(view, "MenuZoomIn", QStringLiteral("Zoom &In"),
         {QKeySequence(Qt::CTRL | Qt::Key_I), QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
         [this] { ZoomIn(); });
    item(view, "menuZoomOut", QStringLiteral("Zoom Ou&t"),
         {QKeySequence(Qt::CTRL | Qt::Key_T), QKeySequence(Qt::CTRL | Qt::Key_Minus)},
         [this] { ZoomOut(); });
    item(view, "menuZoomToFit", QStringLiteral("Zoom To &Fit"), {QKeySequence(Qt::CTRL | Qt::Key_F)},
         [this] { ZoomToFit(); });

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("menuTools"));
    item(tools, "menuOptions", QStringLiteral("&Scale Factors..."), {},
         [this] { emit scalingRequested(); });
    separator(tools, "menusep4");
    item(tools, "MenuRecalibrate", QStringLiteral("&Recalibrate"), {}, [this] { calibrate(); });

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    item(help, "MainHelp", QStringLiteral("Mapwheel &Help Topics"), {QKeySequence(Qt::Key_F1)}, [this] { emit helpRequested(); });
    item(help, "MenuReadMe", QStringLiteral("Display &Readme.Txt"), {}, [this] { ShowReadMe(); });
    separator(help, "menuSep3");
    item(help, "menuAbout", QStringLiteral("&About Mapwheel"), {}, [this] { ShowAbout(); });

    // Hidden from the menu bar; shown only at the pointer.
    m_popUp = new QMenu(QStringLiteral("Pop-up"), m_window);
    m_popUp->setObjectName(QStringLiteral("mnuPopUp"));
    item(m_popUp, "PopMenuOpen", QStringLiteral("&Open Another Map"), {},
         [this] { OpenAnotherMap(); });
    separator(m_popUp, "PopMenuSep1");
    item(m_popUp, "PopMenuZoomIn", QStringLiteral("Zoom &In"), {}, [this] { ZoomIn(); });
    item(m_popUp, "PopMenuZoomOut", QStringLiteral("Zoom &Out"), {}, [this] { ZoomOut(); });
    item(m_popUp, "PopMenuZoomToFit", QStringLiteral("Zoom to &Fit"), {}, [this] { ZoomToFit(); });
    separator(m_popUp, "PopMenuSep2");
    item(m_popUp, "PopMenuRecal", QStringLiteral("&Recalibrate"), {}, [this] { calibrate(); });
    item(m_popUp, "PopMenuOptions", QStringLiteral("&Scale Factors..."), {},
         [this] { emit scalingRequested(); });
    separator(m_popUp, "PopMenuSep3");
    item(m_popUp, "PopMenuReset", QStringLiteral("R&eset"), {}, [this] { Reset(); });

    // The pop-up by keyboard opens over the middle of the view, from wherever the focus is in the window.
    auto* popUpKey = new QAction(m_window);
    popUpKey->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    m_window->addAction(popUpKey);
    QObject::connect(popUpKey, &QAction::triggered, m_window, [this] {
        if (m_popUp && m_mapView && !m_measurement.leftDragInProgress())
            m_popUp->popup(m_mapView->popUpPoint());
    });
}

void FrmMain::buildToolbar(QWidget* client)
{
    auto* strip = new QWidget(client);
    strip->setObjectName(QStringLiteral("Frame2"));
    twipsWidget(strip, 0, 0, 12132, 612);
    struct Button {
        const char* name;
        double left;
        const char* tip;
        const char* icon;
        void (FrmMain::*action)();
    };
    const Button buttons[] = {
        {"OpenFileButton", 120, "Open another map file", ShellPictures::Open, &FrmMain::OpenAnotherMap},
        {"ZoomInButton", 720, "Zoom In", ShellPictures::ZoomIn, &FrmMain::ZoomIn},
        {"ZoomOutButton", 1200, "Zoom Out", ShellPictures::ZoomOut, &FrmMain::ZoomOut},
        {"ZoomToFitButton", 1680, "Zoom to Fit Screen", ShellPictures::ZoomToFit, &FrmMain::ZoomToFit},
        {"ReCalButton", 2280, "Recalibrate", ShellPictures::Recalibrate, &FrmMain::calibrate},
        {"ResetButton", 2880, "Reset the tripmeters", ShellPictures::Reset, &FrmMain::Reset},
    };
    for (const Button& b : buttons) {
        auto* button = new QToolButton(strip);
        button->setObjectName(QLatin1String(b.name));
        button->setToolTip(QLatin1String(b.tip));
        button->setAccessibleName(QLatin1String(b.tip));
        button->setIcon(ShellIcon(b.icon));
        button->setFocusPolicy(Qt::NoFocus);
        twipsWidget(button, b.left, 0, 480, 480);
        button->setIconSize(button->size() * 0.8);
        auto action = b.action;
        QObject::connect(button, &QToolButton::clicked, m_window, [this, action] { (this->*action)(); });
    }

    const QColor blue(0, 0, 192), green(0, 192, 0);
    m_text7 = readout(strip, "Text7", "Primary distance", QStringLiteral("0.000"), true, blue);
    m_text14 = readout(strip, "Text14", "Primary unit", QStringLiteral("Kilometres"), false, blue);
    m_text8 = readout(strip, "Text8", "Secondary distance", QStringLiteral("0.000"), true, green);
    m_text15 = readout(strip, "Text15", "Secondary unit", QStringLiteral("Miles"), false, green);
    twipsWidget(m_text7, 3480, 60, 1692, 480);
    twipsWidget(m_text14, 5232, 60, 1572, 480);
    twipsWidget(m_text8, 6864, 60, 1692, 480);
    twipsWidget(m_text15, 8616, 60, 1572, 480);
    m_text5 = readout(strip, "Text5", "Sample count", QStringLiteral("Text5"), false, blue);
    m_text10 = readout(strip, "Text10", "Pointer X", QString(), false, blue);
    m_text11 = readout(strip, "Text11", "Pointer Y", QString(), false, blue);
    for (QLineEdit* hidden : {m_text5, m_text10, m_text11}) {
        hidden->hide();
        hidden->setFocusPolicy(Qt::NoFocus);
    }
}

void FrmMain::UpdateMRUList(const QStringList& recent)
{
    // Element 0 exists from the start; the others are made here, each load starting afresh.
    for (int i = 0; i < recent.size(); ++i) {
        QAction* a;
        if (i < m_mnuMRU.size()) {
            a = m_mnuMRU[i];
        } else {
            a = new QAction(m_fileMenu);
            a->setObjectName(QStringLiteral("mnuMRU_%1").arg(i));
            m_fileMenu->insertAction(m_menuSep2, a);
            QObject::connect(a, &QAction::triggered, m_window, [this, i] { OpenRecent(i); });
            m_mnuMRU.append(a);
        }
        a->setText(menuTextFor(recent[i]));
        a->setData(recent[i]); // the path itself, never read back from the menu text
        a->setVisible(true);
    }
    m_menuSep2->setVisible(true);
}

void FrmMain::setUnitNames(const QString& Unit1, const QString& Unit2)
{
    if (m_text14) {
        m_text14->setText(Unit1);
        m_text15->setText(Unit2);
    }
}

void FrmMain::show(const MeasureOutcome& outcome)
{
    if (outcome.readouts && m_window) {
        m_text7->setText(outcome.readouts->Text7);
        m_text8->setText(outcome.readouts->Text8);
        m_text5->setText(outcome.readouts->Text5);
    }
    for (const Prompt& p : outcome.prompts)
        m_messages.show(p.title, p.text, p.icon);
    if (outcome.calibrationPrompted)
        emit calibrationStarted();
    if (outcome.popUp)
        showPopUp();
}

void FrmMain::showPopUp()
{
    if (m_popUp)
        m_popUp->popup(QCursor::pos());
}

void FrmMain::calibrate()
{
    show(m_measurement.calibrate(m_factors));
}

void FrmMain::Reset()
{
    show(m_measurement.Reset());
}

// A zoom while the left button is held on the map would mix two scales in one drag: it is refused.
void FrmMain::ZoomIn()
{
    if (m_mapView && !m_measurement.leftDragInProgress())
        m_mapView->ZoomIn();
}

void FrmMain::ZoomOut()
{
    if (m_mapView && !m_measurement.leftDragInProgress())
        m_mapView->ZoomOut();
}

// Keys and the wheel over the map: zooms run as the commands do, scrolls as the bars do; neither during a
// drag, whose stored points would then belong to another view.
void FrmMain::navigate(const ViewNavigation& n)
{
    if (!m_mapView || m_measurement.leftDragInProgress())
        return;
    if (n.kind == ViewNavigation::ZoomIn)
        ZoomIn();
    else if (n.kind == ViewNavigation::ZoomOut)
        ZoomOut();
    else if (n.kind == ViewNavigation::Scroll)
        m_mapView->scrollBy(n.orientation, n.steps, n.page);
}

void FrmMain::ZoomToFit()
{
    if (m_mapView && !m_measurement.leftDragInProgress())
        m_mapView->ZoomToFit();
}

void FrmMain::OpenAnotherMap()
{
    emit openRequested(QString());
}

void FrmMain::OpenRecent(int index)
{
    if (index < 0 || index >= m_mnuMRU.size())
        return;
    emit openRequested(m_mnuMRU[index]->data().toString());
}

void FrmMain::ShowReadMe()
{
    FrmReadMe readMe(m_window);
    readMe.exec();
}

void FrmMain::ShowAbout()
{
    // Its OK brings the main window back to the front.
    FrmAbout about(m_appVersion, m_window);
    about.exec();
}
