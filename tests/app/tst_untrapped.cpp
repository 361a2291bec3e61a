// An error nobody trapped, thrown from inside an event handler, is reported and ends the program instead
// of unwinding through Qt's event loop.
#include "fakeplatform.h"
#include "guardedapplication.h"
#include "module1.h"
#include "program.h"

#include <QTest>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace
{
class Throwing : public QWidget
{
public:
    std::function<void()> thrower;

protected:
    void mouseReleaseEvent(QMouseEvent*) override { thrower(); }
};
} // namespace

class TestUntrapped : public QObject
{
    Q_OBJECT
private slots:
    void reportedThenEnded_data();
    void reportedThenEnded();
};

void TestUntrapped::reportedThenEnded_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("says");
    QTest::newRow("overflow") << 0 << "a number grew too large for it (overflow)";
    QTest::newRow("memory") << 1 << "it ran out of memory";
    QTest::newRow("other") << 2 << "an unexpected error (bad state)";
}

void TestUntrapped::reportedThenEnded()
{
    QFETCH(int, kind);
    QFETCH(QString, says);
    RecordingMessageBoxes messages;
    MemorySettingsStore store;
    ScriptedFileDialog dialog;
    RecordingHelpViewer help;
    RecordingExit exit;
    Program program(PlatformServices{messages, store, dialog, help, exit});
    auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
    app->setUntrappedHandler([&program](const std::exception& e) { program.UntrappedError(e); });

    Throwing w;
    w.thrower = [kind] {
        if (kind == 0)
            (void)CheckedAdd32(INT32_MAX, 1);
        if (kind == 1)
            throw std::bad_alloc();
        throw std::runtime_error("bad state");
    };
    w.show();
    QTest::mouseClick(&w, Qt::LeftButton); // through the application's own delivery of the event

    QVERIFY(exit.ended);
    QCOMPARE(exit.exitCode, 1);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QString("Mapwheel Run-time Error"));
    QCOMPARE(messages.shown[0].icon, MessageIcon::Critical);
    QVERIFY2(messages.shown[0].text.startsWith("Mapwheel has to close: " + says + ".\r"),
             qPrintable(messages.shown[0].text));
    QVERIFY(!w.isVisible());
    app->setUntrappedHandler(nullptr);
}

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    TestUntrapped test;
    const int failed = QTest::qExec(&test, argc, argv);
    // As the program does after such an error, end at once: the Qt frames the exceptions crossed were built
    // without clean-up code, so what they held is not freed, and a leak check at exit would list it.
    std::fflush(nullptr);
    std::_Exit(failed);
}

#include "tst_untrapped.moc"
