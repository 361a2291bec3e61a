#include "frmmain.h"

#include "mapview.h"
#include "shellpictures.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

// The main window's menus, toolbar and meters, made anew for every load of the window.

namespace
{
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
    box->setReadOnly(true);     // Tab reaches it to read or copy, never to edit
    box->setAcceptDrops(false); // a map dropped on it goes to the window
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

void FrmMain::buildMenus()
{
    QMenuBar* bar = m_c.window->menuBar();
    // The first key is the one the menu shows; the others are the desktop's usual keys for the command.
    auto item = [this](QMenu* menu, const char* name, const QString& caption, const QList<QKeySequence>& keys,
                       auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setShortcuts(keys);
        QObject::connect(a, &QAction::triggered, m_c.window, handler);
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* s = menu->addSeparator();
        s->setObjectName(QLatin1String(name));
        return s;
    };

    m_c.fileMenu = bar->addMenu(QStringLiteral("&File"));
    m_c.fileMenu->setObjectName(QStringLiteral("menufile"));
    item(m_c.fileMenu, "menuOpen", QStringLiteral("&Open Another Map"), {QKeySequence(Qt::CTRL | Qt::Key_O)},
         [this] { OpenAnotherMap(); });
    separator(m_c.fileMenu, "menusep1");
    QAction* first = item(m_c.fileMenu, "mnuMRU_0", QString(), {}, [this] { OpenRecent(0); });
    m_c.mnuMRU.append(first);
    m_c.menuSep2 = separator(m_c.fileMenu, "menuSep2");
    m_c.menuSep2->setVisible(false);
    item(m_c.fileMenu, "menuExit", QStringLiteral("E&xit"), {QKeySequence(Qt::CTRL | Qt::Key_Q)},
         [this] { emit exitRequested(); });

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    item(view, "MenuZoomIn", QStringLiteral("Zoom &In"),
         {QKeySequence(Qt::CTRL | Qt::Key_I), QKeySequence(Qt::CTRL | Qt::Key_Plus),
          QKeySequence(Qt::CTRL | Qt::Key_Equal)},
         [this] { ZoomIn(); });
    item(view, "menuZoomOut", QStringLiteral("Zoom Ou&t"),
         {QKeySequence(Qt::CTRL | Qt::Key_T), QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { ZoomOut(); });
    item(view, "menuZoomToFit", QStringLiteral("Zoom To &Fit"), {QKeySequence(Qt::CTRL | Qt::Key_F)},
         [this] { ZoomToFit(); });

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("menuTools"));
    item(tools, "menuOptions", QStringLiteral("&Scale Factors..."), {}, [this] { emit scalingRequested(); });
    separator(tools, "menusep4");
    item(tools, "MenuRecalibrate", QStringLiteral("&Recalibrate"), {}, [this] { calibrate(); });

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    item(help, "MainHelp", QStringLiteral("Mapwheel &Help Topics"), {QKeySequence(Qt::Key_F1)},
         [this] { emit helpRequested(); });
    item(help, "MenuReadMe", QStringLiteral("Display &Readme.Txt"), {}, [this] { ShowReadMe(); });
    separator(help, "menuSep3");
    item(help, "menuAbout", QStringLiteral("&About Mapwheel"), {}, [this] { ShowAbout(); });

    // Hidden from the menu bar; shown only at the pointer.
    m_c.popUp = new QMenu(QStringLiteral("Pop-up"), m_c.window);
    m_c.popUp->setObjectName(QStringLiteral("mnuPopUp"));
    item(m_c.popUp, "PopMenuOpen", QStringLiteral("&Open Another Map"), {}, [this] { OpenAnotherMap(); });
    separator(m_c.popUp, "PopMenuSep1");
    item(m_c.popUp, "PopMenuZoomIn", QStringLiteral("Zoom &In"), {}, [this] { ZoomIn(); });
    item(m_c.popUp, "PopMenuZoomOut", QStringLiteral("Zoom &Out"), {}, [this] { ZoomOut(); });
    item(m_c.popUp, "PopMenuZoomToFit", QStringLiteral("Zoom to &Fit"), {}, [this] { ZoomToFit(); });
    separator(m_c.popUp, "PopMenuSep2");
    item(m_c.popUp, "PopMenuRecal", QStringLiteral("&Recalibrate"), {}, [this] { calibrate(); });
    item(m_c.popUp, "PopMenuOptions", QStringLiteral("&Scale Factors..."), {},
         [this] { emit scalingRequested(); });
    separator(m_c.popUp, "PopMenuSep3");
    item(m_c.popUp, "PopMenuReset", QStringLiteral("R&eset"), {}, [this] { Reset(); });

    // The pop-up by keyboard opens over the middle of the view, from wherever the focus is in the window.
    auto* popUpKey = new QAction(m_c.window);
    popUpKey->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    m_c.window->addAction(popUpKey);
    QObject::connect(popUpKey, &QAction::triggered, m_c.window, [this] {
        if (!m_c.popUp || !m_c.mapView || m_measurement.leftDragInProgress())
            return;
        // On a meter or its unit the keys open that box's own menu (Copy, Select All), as a right click does.
        QWidget* focus = QApplication::focusWidget();
        if (focus &&
            (focus == m_c.text7 || focus == m_c.text8 || focus == m_c.text14 || focus == m_c.text15)) {
            const QPoint centre = focus->rect().center();
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, centre, focus->mapToGlobal(centre));
            QCoreApplication::sendEvent(focus, &menuKey);
            return;
        }
        m_c.popUp->popup(m_c.mapView->popUpPoint());
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
        QObject::connect(button, &QToolButton::clicked, m_c.window, [this, action] { (this->*action)(); });
    }

    const QColor blue(0, 0, 192), green(0, 192, 0);
    m_c.text7 = readout(strip, "Text7", "Primary distance", QStringLiteral("0.000"), true, blue);
    m_c.text14 = readout(strip, "Text14", "Primary unit", QStringLiteral("Kilometres"), false, blue);
    m_c.text8 = readout(strip, "Text8", "Secondary distance", QStringLiteral("0.000"), true, green);
    m_c.text15 = readout(strip, "Text15", "Secondary unit", QStringLiteral("Miles"), false, green);
    twipsWidget(m_c.text7, 3480, 60, 1692, 480);
    twipsWidget(m_c.text14, 5232, 60, 1572, 480);
    twipsWidget(m_c.text8, 6864, 60, 1692, 480);
    twipsWidget(m_c.text15, 8616, 60, 1572, 480);
    m_c.text5 = readout(strip, "Text5", "Sample count", QStringLiteral("Text5"), false, blue);
    m_c.text10 = readout(strip, "Text10", "Pointer X", QString(), false, blue);
    m_c.text11 = readout(strip, "Text11", "Pointer Y", QString(), false, blue);
    for (QLineEdit* hidden : {m_c.text5, m_c.text10, m_c.text11}) {
        hidden->hide();
        hidden->setFocusPolicy(Qt::NoFocus);
    }
}

void FrmMain::UpdateMRUList(const QStringList& recent)
{
    // Element 0 exists from the start; the others are made here, each load starting afresh.
    for (int i = 0; i < recent.size(); ++i) {
        QAction* a;
        if (i < m_c.mnuMRU.size()) {
            a = m_c.mnuMRU[i];
        } else {
            a = new QAction(m_c.fileMenu);
            a->setObjectName(QStringLiteral("mnuMRU_%1").arg(i));
            m_c.fileMenu->insertAction(m_c.menuSep2, a);
            QObject::connect(a, &QAction::triggered, m_c.window, [this, i] { OpenRecent(i); });
            m_c.mnuMRU.append(a);
        }
        a->setText(menuTextFor(recent[i]));
        a->setData(recent[i]); // the path itself, never read back from the menu text
        a->setVisible(true);
    }
    m_c.menuSep2->setVisible(true);
}
