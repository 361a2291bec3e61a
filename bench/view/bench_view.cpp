// Drawing speed and memory of the map view: the visible-rectangle design beside a naive design that
// scales a copy of the whole picture to its displayed size, in the same run. Each design and picture
// runs in a child process, so that each peak memory figure is its own.
//
//   bench_view                 the whole table (about two minutes)
//   bench_view --child ...     one row group, used by the table run

#include "levelbuilder.h"
#include "picturepainter.h"
#include "synthmap.h"
#include "viewmodel.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace
{
constexpr int ViewW = 1920, ViewH = 1080; // viewport, pixels
constexpr float Tpp = 15;                 // twips per pixel
// The naive design's scaled copy is not made beyond this (MW_BENCH_NAIVE_LIMIT_GIB, default 2): the
// machine is shared, and at 4:1 a 100 MP picture's copy alone takes about 5 GiB.
double naiveLimitBytes()
{
    bool ok = false;
    const double gib = qEnvironmentVariable("MW_BENCH_NAIVE_LIMIT_GIB").toDouble(&ok);
    return (ok && gib > 0 ? gib : 2.0) * 1024 * 1024 * 1024;
}

double peakMiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

QSize a4Size(double megapixels)
{
    const int w = int(std::sqrt(megapixels * 1e6 * std::sqrt(2.0)));
    return QSize(w, int(megapixels * 1e6 / w));
}

enum class Design { Visible, Naive, DirectSource };

struct Frame {
    double ms;
    QString note;
};

// One painted frame of the viewport, as the view's paint event draws it.
Frame paintFrame(Design design, const MapPicture* picture, const QImage& full, const ViewModel& m,
                 QImage& viewport)
{
    const ImageGeometry& g = m.image();
    const QRectF target(g.Left() / Tpp, g.Top() / Tpp, g.Width() / Tpp, g.Height() / Tpp);
    const QRectF exposed(0, 0, ViewW, ViewH);
    QElapsedTimer t;
    t.start();
    QPainter p(&viewport);
    p.fillRect(exposed, Qt::lightGray);
    if (design == Design::Visible) {
        PicturePainter::paint(p, *picture, target, exposed, 1);
    } else if (design == Design::DirectSource) {
        // The same copy choice, but drawn with a source rectangle in the copy's own coordinates.
        int d = 1;
        const QImage& level = picture->levelFor(target.width() / picture->naturalSize().width(), &d);
        const double k = target.width() / level.width();
        const QRectF vis = target & exposed;
        const QRectF src((vis.left() - target.left()) / k, (vis.top() - target.top()) / k, vis.width() / k,
                         vis.height() / k);
        p.setRenderHint(QPainter::SmoothPixmapTransform, k < PicturePainter::SharpFromScale);
        p.drawImage(vis, level, src);
    } else {
        const QSize shown(int(std::lround(target.width())), int(std::lround(target.height())));
        const double bytes = 4.0 * shown.width() * shown.height();
        if (bytes > naiveLimitBytes())
            return {-1, QStringLiteral("skipped: its scaled copy would need %1 GiB")
                            .arg(bytes / (1 << 30), 0, 'f', 1)};
        const QImage scaled = full.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.drawImage(target.topLeft(), scaled);
    }
    p.end();
    return {t.nsecsElapsed() / 1e6, QString()};
}

// Zoom steps from the fitted factor to the one nearest `target` below 100.
void zoomTo(ViewModel& m, double target)
{
    while (m.fields().ZoomFactor * 1.1 < 100 &&
           std::abs(m.fields().ZoomFactor * 1.1 - target) < std::abs(m.fields().ZoomFactor - target))
        m.ZoomIn();
}

// --child design megapixels frames factor[:far] ...   (factor 0 is the fitted factor; "far" scrolls to the
// bottom-right corner). Prints one tab-separated line per factor.
int child(const QStringList& args)
{
    const Design design = args[0] == "visible"  ? Design::Visible
                          : args[0] == "direct" ? Design::DirectSource
                                                : Design::Naive;
    const double mp = args[1].toDouble();
    const int frames = args[2].toInt();
    const QSize size = a4Size(mp);
    QElapsedTimer clock;
    clock.start();
    QImage full = makeSyntheticMap(size, 1);
    const qint64 genMs = clock.restart();
    std::unique_ptr<MapPicture> picture;
    if (design != Design::Naive) { // the naive design keeps the decoded picture alone
        // Shrunk as the loader does it, band by band, so that the peak memory is the program's.
        LevelBuilder levels(full);
        for (int band = 0; band < levels.bandCount(); ++band)
            levels.shrinkBand(band);
        picture = std::make_unique<MapPicture>(full, levels.takeLevels());
        full = QImage(); // the picture holds the one decoded copy
    }
    std::fprintf(stderr, "  %s %.0f MP (%dx%d): generated in %lld ms, shrunk copies in %lld ms\n",
                 qPrintable(args[0]), mp, size.width(), size.height(), genMs, clock.elapsed());

    QImage viewport(ViewW, ViewH, QImage::Format_ARGB32_Premultiplied);
    viewport.fill(0);
    QTextStream out(stdout);
    for (const QString& request : args.mid(3)) {
        const QStringList parts = request.split(':');
        ViewFields fields;
        ViewModel m(fields);
        m.setFrameSize(ViewW * Tpp, ViewH * Tpp);
        m.loadNaturalSize(double(Tpp) * size.width(), double(Tpp) * size.height());
        m.ZoomToFit();
        const double wanted = parts[0].toDouble();
        if (wanted > 0)
            zoomTo(m, wanted);
        if (parts.size() > 1) { // the far corner: the largest source coordinates
            m.HScroll1().setValue(100);
            m.VScroll1().setValue(100);
        }
        std::vector<double> ms;
        QString note;
        for (int i = 0; i < frames; ++i) {
            // A zoom step before every frame: out and back in, so the factor stays put.
            i % 2 ? m.ZoomIn() : m.ZoomOut();
            if (parts.size() > 1) {
                m.HScroll1().setValue(100);
                m.VScroll1().setValue(100);
            }
            const Frame f = paintFrame(design, picture.get(), full, m, viewport);
            if (f.ms < 0) {
                note = f.note;
                break;
            }
            ms.push_back(f.ms);
        }
        if (frames % 2) // leave it at the factor reported
            m.ZoomIn();
        std::sort(ms.begin(), ms.end());
        const double median = ms.empty() ? -1 : ms[ms.size() / 2];
        out << args[0] << '\t' << mp << '\t' << request << '\t' << fields.ZoomFactor << '\t' << median << '\t'
            << (ms.empty() ? -1 : ms.front()) << '\t' << peakMiB() << '\t'
            << (4.0 * size.width() * size.height() / (1 << 20)) << '\t' << note << '\n';
        out.flush();
    }
    return 0;
}

struct Row {
    QString design, request, note;
    double mp = 0, factor = 0, ms = 0, fastest = 0, peak = 0, decoded = 0;
};

QList<Row> runChild(const QStringList& args)
{
    QProcess proc;
    proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proc.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + args);
    proc.waitForFinished(-1);
    QList<Row> rows;
    for (const QString& line :
         QString::fromUtf8(proc.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split('\t');
        if (f.size() < 9)
            continue;
        rows.append({f[0], f[2], f[8], f[1].toDouble(), f[3].toDouble(), f[4].toDouble(), f[5].toDouble(),
                     f[6].toDouble(), f[7].toDouble()});
    }
    if (proc.exitCode() != 0 || rows.isEmpty())
        std::fprintf(stderr, "child %s failed (exit %d)\n", qPrintable(args.join(' ')), proc.exitCode());
    return rows;
}

void printRows(const QList<Row>& rows)
{
    std::printf("| design | picture | factor asked | factor | median ms/frame | fastest ms | peak RSS MiB | "
                "limit MiB | note |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (const Row& r : rows) {
        const QString asked = r.request == "0" || r.request.startsWith("0:") ? QStringLiteral("fit") : r.request;
        const QString ms = r.ms < 0 ? QStringLiteral("-") : QString::number(r.ms, 'f', 2);
        const QString fastest = r.fastest < 0 ? QStringLiteral("-") : QString::number(r.fastest, 'f', 2);
        std::printf("| %s | %.0f MP | %s | %.3f | %s | %s | %.0f | %.0f | %s |\n", qPrintable(r.design), r.mp,
                    qPrintable(asked), r.factor, qPrintable(ms), qPrintable(fastest), r.peak,
                    1.25 * r.decoded + 40, qPrintable(r.note));
    }
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args[0] == "--child")
        return child(args.mid(1));

    const QString frames = args.value(0, QStringLiteral("31"));
    std::printf("Viewport %dx%d, %s frames per factor, a zoom step before each; median per frame.\n", ViewW,
                ViewH, qPrintable(frames));
    std::printf("limit = 1.25 x one decoded RGB32 copy + 40 MiB.\n\n");
    QList<Row> rows;
    // 0.33 and 0.37 fall either side of where the quarter-size copy gives way to the full picture.
    rows += runChild({"visible", "100", frames, "0", "0.33", "0.37", "0.6", "1", "4", "16", "99"});
    rows += runChild({"naive", "100", "3", "0", "1", "4", "16", "99"});
    rows += runChild({"visible", "25", frames, "0", "1", "99"});
    rows += runChild({"visible", "250", frames, "0", "0.37:far", "1", "1:far", "99:far"});
    rows += runChild({"direct", "250", frames, "1", "1:far"});
    printRows(rows);
    return 0;
}
