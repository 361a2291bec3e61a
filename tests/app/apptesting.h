#pragma once

#include "fakeplatform.h"
#include "frame1widget.h"
#include "frmmain.h"
#include "image1widget.h"
#include "mapview.h"
#include "program.h"
#include "scalefactors.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cmath>

// The whole program with its desktop services replaced by recorders.
struct Harness {
    RecordingMessageBoxes messages;
    MemorySettingsStore store;
    ScriptedFileDialog dialog;
    RecordingHelpViewer help;
    RecordingExit exit;
    Program program{PlatformServices{messages, store, dialog, help, exit}};

    Harness() { program.splashInterval = 1; }
    FrmMain& main() { return program.frmMain(); }
    MapView& view() { return *main().view(); }
    QWidget* image1() { return main().window()->findChild<QWidget*>(QStringLiteral("Image1")); }
    QWidget* frame1() { return main().window()->findChild<QWidget*>(QStringLiteral("Frame1")); }
    QString text(const char* name)
    {
        auto* w = main().window()->findChild<QLineEdit*>(QLatin1String(name));
        return w ? w->text() : QStringLiteral("<none>");
    }
    QAction* action(const char* name) { return main().window()->findChild<QAction*>(QLatin1String(name)); }
    // Lets the window reach its final size and paint once, as it does before a user's first move.
    void settle()
    {
        QVERIFY(QTest::qWaitForWindowExposed(main().window()));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    QString lastTitle() const { return messages.shown.isEmpty() ? QString() : messages.shown.last().title; }
};

inline QString sampleMap(const char* name)
{
    return QStringLiteral(MW_SOURCE_DIR "/Maps/") + QLatin1String(name);
}

// The five defaults as a previous run left them: not the first run on this computer.
inline void storeDefaults(MemorySettingsStore& store)
{
    store.entries.insert(QStringLiteral("Unit1"), QStringLiteral("Kilometres"));
    store.entries.insert(QStringLiteral("Unit2"), QStringLiteral("Miles"));
    store.entries.insert(QStringLiteral("CalFact"), QStringLiteral("1"));
    store.entries.insert(QStringLiteral("UnitFact"), QStringLiteral("1.609344"));
    store.entries.insert(QStringLiteral("Abbrev"), QStringLiteral("km"));
}

// A start that is not the first on this computer, answering the file dialog with `map`.
inline void startWith(Harness& h, const QString& map)
{
    storeDefaults(h.store);
    h.dialog.answers << map;
    h.program.Main();
    if (h.main().isLoaded())
        h.settle();
}

// Where a point of the picture (natural pixels) lies in Image1's own pixels at the present zoom.
inline QPointF toImage1(Harness& h, QPointF natural)
{
    const ViewModel& model = h.view().model();
    const ViewFields& f = h.main().viewFields();
    // Image1's pixels per picture pixel: its size in twips against the natural size in twips.
    const double sx = model.image().Width() / f.NaturalWidth, sy = model.image().Height() / f.NaturalHeight;
    auto* image = h.view().image1();
    return QPointF(natural.x() * sx + image->placement().left() - image->x(),
                   natural.y() * sy + image->placement().top() - image->y());
}

inline void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                      QPointF local)
{
    QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A left-button drag on the map through the given picture points, with samples every `step` pixels.
inline int drag(Harness& h, const QList<QPointF>& points, double step = 2.0)
{
    QWidget* image = h.image1();
    sendMouse(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, toImage1(h, points.first()));
    int samples = 1;
    for (int i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1], b = points[i];
        const int n = std::max(1, int(std::ceil(std::hypot(b.x() - a.x(), b.y() - a.y()) / step)));
        for (int k = 1; k <= n; ++k) {
            sendMouse(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton,
                      toImage1(h, a + (b - a) * (double(k) / n)));
            ++samples;
        }
    }
    sendMouse(image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, toImage1(h, points.last()));
    return samples;
}

// Runs `answer` on the first modal window of the given class that opens, from inside its modal display.
inline void whenModalOpens(const char* objectName, std::function<void(QWidget*)> answer)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, objectName, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QLatin1String(objectName)) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
        }
    });
    poll->start();
}

// Number shown by a meter, whatever its decimals.
inline double meter(const QString& text)
{
    return text.trimmed().toDouble();
}
