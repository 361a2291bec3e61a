#include "frmmain.h"

#include "folderof.h"
#include "frmabout.h"
#include "frmreadme.h"
#include "maker.h"
#include "mapview.h"
#include "messageboxes.h"

#include <QCloseEvent>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

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
    delete m_c.window.data();
    delete m_next.window.data();
}

QWidget* FrmMain::twipsWidget(QWidget* w, double left, double top, double width, double height) const
{
    w->setGeometry(m_twips.toPixels(left, top, width, height));
    return w;
}

void FrmMain::build()
{
    m_c.window = new FrmMainWindow;
    m_c.window->setObjectName(QStringLiteral("FrmMain"));
    m_c.window->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(m_c.window, &FrmMainWindow::closeRequested, this, &FrmMain::exitRequested);
    // Drops anywhere on the window come to it (no control of its own takes one) and go to eventFilter.
    m_c.window->setAcceptDrops(true);
    m_c.window->installEventFilter(this);
    m_twips = m_screen.twips();
    auto* client = new ClientArea(m_c.popUp, m_c.window);
    client->setObjectName(QStringLiteral("Client"));
    m_c.window->setCentralWidget(client);
    // The size it will have once maximized, so that the map is fitted once, to the final viewport.
    m_c.window->resize(m_screen.workArea().size());
    buildMenus();
    buildToolbar(client);
    m_c.mapView = new MapView(m_viewFields, client, m_screen);
    m_c.mapView->setParent(m_c.window);
    // Tab goes round the map, then the meters and their names.
    QWidget::setTabOrder(m_c.mapView->viewport(), m_c.text7);
    QWidget::setTabOrder(m_c.text7, m_c.text14);
    QWidget::setTabOrder(m_c.text14, m_c.text8);
    QWidget::setTabOrder(m_c.text8, m_c.text15);
    connect(m_c.mapView, &MapView::Image1_MouseDown, this, [this](int Button, int, float X, float Y) {
        show(m_measurement.Image1_MouseDown(Button, X, Y, context()));
    });
    connect(m_c.mapView, &MapView::Image1_MouseMove, this, [this](int Button, int, float X, float Y) {
        show(m_measurement.Image1_MouseMove(Button, X, Y, context()));
    });
    connect(m_c.mapView, &MapView::Image1_MouseUp, this, [this](int Button, int, float X, float Y) {
        show(m_measurement.Image1_MouseUp(Button, X, Y, context()));
    });
    connect(m_c.mapView, &MapView::Image1_DragLost, this, [this] { show(m_measurement.endDrag(context())); });
    connect(m_c.mapView, &MapView::Frame1_MouseUp, this, [this](int Button, int, float, float) {
        if (Button == 2)
            showPopUp();
    });
    connect(m_c.mapView, &MapView::navigationRequested, this, &FrmMain::navigate);
    connect(m_c.mapView, &MapView::Frame1_MouseMove, this, [this](int Button, int, float X, float Y) {
        if (Button == 1) {
            m_c.text10->setText(QString::number(X));
            m_c.text11->setText(QString::number(Y));
        }
    });
}

void FrmMain::Prepare()
{
    if (m_next.window)
        return;
    // The building code fills m_c; the window shown stays in m_next meanwhile. The new window's client
    // area refers to m_c's pop-up, which is its own once the two change places.
    std::swap(m_c, m_next);
    build();
    std::swap(m_c, m_next);
}

void FrmMain::Load(MapPicturePtr picture, const QString& MapFile)
{
    Prepare();
    Unload();
    std::swap(m_c, m_next);

    // Form_Load
    m_c.window->setWindowTitle(QStringLiteral("Mapwheel v") + m_appVersion + QLatin1Char(' ') +
                               QString::fromUtf8(Maker::CaptionNotice) + QStringLiteral(":-  ") + MapFile);
    m_c.mapView->FitToScreen();
    m_c.mapView->loadPicture(std::move(picture));
    ZoomToFit();
    setUnitNames(m_factors.Unit1(), m_factors.Unit2());
}

void FrmMain::Unload(bool now)
{
    if (!m_c.window)
        return;
    FrmMainWindow* old = m_c.window;
    m_c = Controls();
    old->hide();
    if (now)
        delete old;
    else
        old->deleteLater();
}

void FrmMain::Show()
{
    if (!m_c.window)
        return;
    m_c.window->showMaximized();
    m_c.window->raise();
    m_c.window->activateWindow();
    m_c.mapView->focusMap(); // the arrow keys and Page Up/Down move the map at once
}

void FrmMain::Withdraw()
{
    if (m_c.window)
        m_c.window->hide();
}

void FrmMain::Restore()
{
    if (!m_c.window)
        return;
    m_c.window->show(); // keeps the state it had, maximized or not
    m_c.window->raise();
    m_c.window->activateWindow();
}

void FrmMain::setUnitNames(const QString& Unit1, const QString& Unit2)
{
    if (m_c.text14) {
        m_c.text14->setText(Unit1);
        m_c.text15->setText(Unit2);
    }
}

void FrmMain::show(const MeasureOutcome& outcome)
{
    if (outcome.readouts && m_c.window) {
        m_c.text7->setText(outcome.readouts->Text7);
        m_c.text8->setText(outcome.readouts->Text8);
        m_c.text5->setText(outcome.readouts->Text5);
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
    if (m_c.popUp)
        m_c.popUp->popup(QCursor::pos());
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
    if (m_c.mapView && !m_measurement.leftDragInProgress())
        m_c.mapView->ZoomIn();
}

void FrmMain::ZoomOut()
{
    if (m_c.mapView && !m_measurement.leftDragInProgress())
        m_c.mapView->ZoomOut();
}

// Keys and the wheel over the map: zooms run as the commands do, scrolls as the bars do; neither during a
// drag, whose stored points would then belong to another view.
void FrmMain::navigate(const ViewNavigation& n)
{
    if (!m_c.mapView || m_measurement.leftDragInProgress())
        return;
    if (n.kind == ViewNavigation::ZoomIn)
        ZoomIn();
    else if (n.kind == ViewNavigation::ZoomOut)
        ZoomOut();
    else if (n.kind == ViewNavigation::Scroll)
        m_c.mapView->scrollBy(n.orientation, n.steps, n.page);
}

void FrmMain::ZoomToFit()
{
    if (m_c.mapView && !m_measurement.leftDragInProgress())
        m_c.mapView->ZoomToFit();
}

void FrmMain::OpenAnotherMap()
{
    emit openRequested(QString());
}

// A map file dragged onto the window opens as Open Another Map does. Only one local file is taken, and only
// to be copied or linked: a file manager offering a move would otherwise remove the user's file. While a map
// is being opened, or the left button is held on the map, the drop is refused.
bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != m_c.window ||
        (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const Qt::DropActions possible = drop->possibleActions();
    const QString path =
        m_opening || m_measurement.leftDragInProgress() || !(possible & (Qt::CopyAction | Qt::LinkAction))
            ? QString()
            : DroppedMapFile(drop->mimeData()->urls());
    if (path.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(possible & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    drop->accept();
    if (type == QEvent::Drop)
        emit openRequested(path);
    return true;
}

void FrmMain::OpenRecent(int index)
{
    if (index < 0 || index >= m_c.mnuMRU.size())
        return;
    emit openRequested(m_c.mnuMRU[index]->data().toString());
}

void FrmMain::ShowReadMe()
{
    FrmReadMe readMe(m_c.window);
    readMe.exec();
}

void FrmMain::ShowAbout()
{
    // Its OK brings the main window back to the front.
    FrmAbout about(m_appVersion, m_c.window);
    about.exec();
}
