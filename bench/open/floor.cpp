// A stand-in for the program that does nothing but djpeg's work between the Return and a window with the
// program's title: the same file dialog, then djpeg's full decode of the chosen file (djpeg itself, started
// as the stopwatches start it), then a window titled as the main window is. What a stopwatch reads on it
// beyond djpeg is the stopwatch's own share: starting its tools, its step and its load on the machine.
// bench_open_floor_wait keeps a small window up while djpeg runs, as the program's wait window is while
// the map loads: a stopwatch that walks the window tree has its window manager frame to walk too. Each is
// given to a stopwatch as a program path, which is why the two are built apart rather than told by a flag.
//
//   bench_open_floor   (then type a path into its dialog and press Return, as into the program's)

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QProcess>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QFileDialog dialog(nullptr, QStringLiteral("Open Map Image..."));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return 1;
    const QString file = dialog.selectedFiles().constFirst();

    QLabel waitWindow(QStringLiteral("Map is Loading...\nPlease Wait!"));
    waitWindow.setWindowTitle(QStringLiteral("Mapwheel"));
    waitWindow.resize(435, 210);
    QLabel window(QStringLiteral("decoded"));
    window.setWindowTitle(QStringLiteral("Mapwheel v0 floor - ") + file);
    window.resize(640, 480);

    QProcess djpeg;
    QObject::connect(&djpeg, &QProcess::finished, [&](int code, QProcess::ExitStatus status) {
        if (code != 0 || status != QProcess::NormalExit) {
            QApplication::exit(1);
            return;
        }
        waitWindow.hide();
        window.show();
    });
    // Not started at all (no djpeg): `finished` never comes. Queued: start() may report it before exec().
    QObject::connect(
        &djpeg, &QProcess::errorOccurred, &app,
        [](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                QApplication::exit(1);
        },
        Qt::QueuedConnection);
#ifdef MW_FLOOR_WAIT
    waitWindow.show();
#endif
    djpeg.start(QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), file});
    return app.exec();
}
