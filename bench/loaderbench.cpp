// Map loading benchmark. Generates scanned-map-like pictures once into bench/data/, then times each
// way of loading each of them in a freshly started process of its own, as a user opening a map in a
// program just started: djpeg's full decode (the floor for JPEG), Qt's decode into memory given and
// touched beforehand (the floor for the other kinds), a plain QImageReader load with Qt's allocation
// limit lifted (the naive baseline) and the program's loader, with the moment its first band of the map
// can be shown and the longest stall of the event loop while it works. Each process's peak resident
// memory is its own. A second column repeats the loads on "warm" memory (see warmMemory).
//
//   bench_loader [--quick] [--runs N] [--pause S] [--data DIR] [--only NAME,...] [--no-warm]
//                [--baseline BENCH_LOADER]   (adds the loader of another build, e.g. before a change)
//   bench_loader --child MODE FILE      (used by the above)

#include "benchstats.h"
#include "maploader.h"
#include "picturebuffer.h"
#include "synthmap.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

struct Sample {
    double ms = -1;      // the load, wall time
    double bandMs = -1;  // loader only: the first band of the map painted, as the wait window shows it
    double frameMs = -1; // loader only: load plus painting the fitted map
    double stallMs = -1; // loader only: longest gap between event-loop ticks
    double rssMb = -1;   // peak resident memory of the whole process
    double cpuMs = -1;   // user and system time of the whole process, all threads
};

// The fitted first frame: the map scaled to fit a 1600 x 1000 viewport, drawn from the shrunk copy the
// view would choose.
void paintFitted(const MapPicture& picture)
{
    QImage frame(1600, 1000, QImage::Format_RGB32);
    QPainter p(&frame);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize natural = picture.naturalSize();
    const double scale = std::min(1600.0 / natural.width(), 1000.0 / natural.height());
    int divisor = 1;
    const QImage& level = picture.levelFor(scale, &divisor);
    p.drawImage(QRectF(0, 0, natural.width() * scale, natural.height() * scale), level);
}

// VmHWM from /proc/self/status.
double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.simplified().split(' ').value(1).toDouble() / 1024.0;
    return -1;
}

// User and system time of every thread of this process so far.
double cpuMsSoFar()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double sinceMs(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

// This machine is a virtual one whose host backs guest memory only when it is first touched, and takes
// it back a few seconds after it is freed: a picture decoded into such "cold" memory spends more time
// waiting for the host than decoding. A desktop has no such cost. Touching and freeing as much memory as
// the load needs just before it shows the load on memory the system already has in hand ("warm"), as in
// a program that has been running a while; the peak resident size is started afresh after it.
void warmMemory(const QString& file)
{
    const QSize size = QImageReader(file).size();
    const size_t bytes =
        size_t(size.width()) * size.height() * 4 * 4 / 3 + (size_t(64) << 20); // the picture and its copies
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return;
    madvise(block, bytes, MADV_HUGEPAGE);
    madvise(block, bytes, MADV_POPULATE_WRITE);
    munmap(block, bytes);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5"); // resets VmHWM (Linux 4.0 and later)
}

// The first finished rows of the sketch drawn fitted into a picture of the wait window's size.
void paintBand(const QImage& sketch, int first, int end)
{
    QImage box(240, 170, QImage::Format_RGB32);
    box.fill(Qt::white);
    QPainter p(&box);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double k = std::min(240.0 / sketch.width(), 170.0 / sketch.height());
    const QImage rows(sketch.constBits() + qsizetype(first) * sketch.bytesPerLine(), sketch.width(),
                      end - first, sketch.bytesPerLine(), sketch.format());
    p.drawImage(QRectF(0, first * k, sketch.width() * k, (end - first) * k), rows);
}

// MODE is qt, qt-mapped, loader (the program's own kind of pages), loader-huge or loader-plain, with
// "+warm" for warm memory.
int child(QString mode, const QString& file)
{
    if (mode.endsWith("+warm")) {
        mode.chop(5);
        warmMemory(file);
    }
    Sample s;
    double cpuBefore = cpuMsSoFar();
    QElapsedTimer t;
    if (mode == "qt") {
        QImageReader::setAllocationLimit(0);
        t.start();
        QImageReader reader(file);
        const QImage img = reader.read();
        s.ms = sinceMs(t);
        if (img.isNull())
            return 2;
    } else if (mode == "qt-mapped") {
        // Qt's decode into a picture allocated and touched beforehand: what decoding costs without page
        // faults. (GIF's reader makes a picture of its own all the same.)
        QImageReader::setAllocationLimit(0);
        QImageReader probe(file);
        QImage img(probe.size(), probe.imageFormat());
        img.fill(0);
        cpuBefore = cpuMsSoFar();
        t.start();
        QImageReader reader(file);
        if (!reader.read(&img))
            return 2;
        s.ms = sinceMs(t);
    } else if (mode.startsWith("loader")) {
        if (mode != "loader")
            PictureBuffer::setPages(mode == "loader-huge" ? PictureBuffer::Pages::Huge
                                                          : PictureBuffer::Pages::Plain);
        MapLoader loader;
        QElapsedTimer gap;
        double worst = 0;
        QTimer tick;
        tick.setInterval(2);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            worst = std::max(worst, sinceMs(gap));
            gap.start();
        });
        MapPicturePtr result;
        QObject::connect(&loader, &MapLoader::sketchRows, [&](const QImage& sketch, int first, int end) {
            if (s.bandMs < 0) {
                paintBand(sketch, first, end);
                s.bandMs = sinceMs(t);
            }
        });
        QObject::connect(&loader, &MapLoader::finished, [&](MapPicturePtr picture, QString error) {
            s.ms = sinceMs(t);
            result = picture;
            if (!error.isEmpty())
                std::fprintf(stderr, "%s\n", qPrintable(error));
            QCoreApplication::exit(picture ? 0 : 2);
        });
        t.start();
        gap.start();
        tick.start();
        loader.start(file);
        if (QCoreApplication::exec() != 0)
            return 2;
        paintFitted(*result);
        s.frameMs = sinceMs(t);
        s.stallMs = worst;
    } else {
        return 3;
    }
    s.rssMb = peakResidentMb();
    s.cpuMs = cpuMsSoFar() - cpuBefore;
    std::printf("%f %f %f %f %f %f\n", s.ms, s.bandMs, s.frameMs, s.stallMs, s.rssMb, s.cpuMs);
    return 0;
}

// Runs argv in a child process; wall time from here, peak memory from the kernel's account of that
// child alone. Returns the child's standard output.
bool runChild(const std::vector<std::string>& args, Sample* s, QByteArray* out)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    QElapsedTimer t;
    t.start();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buf, sizeof buf)) > 0)
        out->append(buf, n);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    s->ms = sinceMs(t);
    s->rssMb = usage.ru_maxrss / 1024.0;
    s->cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Picture {
    QString name;
    QSize size;
    QByteArray format;
};

QSize sheetOf(double megapixels)
{
    // Sheets keep the A-series shape, sides in the ratio of 1 to the square root of 2.
    const double h = std::sqrt(megapixels * 1e6 / std::sqrt(2.0));
    return QSize(int(h * std::sqrt(2.0)), int(h));
}

bool generate(const QString& dir, const std::vector<Picture>& pictures)
{
    QDir().mkpath(dir);
    QSize made;
    QImage image;
    for (const Picture& p : pictures) {
        const QString path = dir + "/" + p.name;
        if (QFileInfo::exists(path))
            continue;
        if (made != p.size) {
            std::fprintf(stderr, "generating a %d x %d map...\n", p.size.width(), p.size.height());
            image = QImage();
            image = makeSyntheticMap(p.size, 25000 + quint32(p.size.width()));
            made = p.size;
        }
        std::fprintf(stderr, "writing %s\n", qPrintable(path));
        bool ok;
        if (p.format == "gif") {
            ok = writeGif(image, path + ".part");
        } else {
            QImageWriter writer(path + ".part", p.format);
            if (p.format == "jpeg")
                writer.setQuality(90);
            if (p.format == "tiff")
                writer.setCompression(1); // LZW, as scanners store them
            ok = writer.write(image);
        }
        if (!ok || !QFile::rename(path + ".part", path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

struct Row {
    QString picture;
    QString method;
    bool warm;
    Sample median;
    double roundRatio; // the median of each round's ratio to the floor of that round
};

QString cell(double v, int decimals = 0)
{
    return v < 0 ? QStringLiteral("-") : QString::number(v, 'f', decimals);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bool quick = false, warm = true;
    int runs = 3;
    double pause = 3;
    QStringList only;
    std::string baseline;
    QString dir = QStringLiteral(MW_BENCH_DATA_DIR);
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--quick")
            quick = true;
        else if (args[i] == "--no-warm")
            warm = false;
        else if (args[i] == "--runs" && i + 1 < args.size())
            runs = args[++i].toInt();
        else if (args[i] == "--pause" && i + 1 < args.size())
            pause = args[++i].toDouble();
        else if (args[i] == "--only" && i + 1 < args.size())
            only = args[++i].split(',');
        else if (args[i] == "--baseline" && i + 1 < args.size())
            baseline = args[++i].toStdString();
        else if (args[i] == "--data" && i + 1 < args.size())
            dir = args[++i];
    }
    if (quick)
        runs = 1;

    std::vector<Picture> pictures = {
        {"map25.jpg", sheetOf(25), "jpeg"},   {"map100.jpg", sheetOf(100), "jpeg"},
        {"map100.bmp", sheetOf(100), "bmp"},  {"map100.gif", sheetOf(100), "gif"},
        {"map100.png", sheetOf(100), "png"},  {"map100.tif", sheetOf(100), "tiff"},
        {"map250.jpg", sheetOf(250), "jpeg"},
    };
    if (quick)
        pictures = {{"map25.jpg", sheetOf(25), "jpeg"}, {"map100.jpg", sheetOf(100), "jpeg"}};
    if (!only.isEmpty())
        pictures.erase(std::remove_if(pictures.begin(), pictures.end(),
                                      [&](const Picture& p) { return !only.contains(p.name); }),
                       pictures.end());
    if (!generate(dir, pictures))
        return 1;

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    struct Method {
        QString picture;
        QString name;
        std::vector<std::string> argv;
        bool selfTimed;
        bool warm; // the second column: memory touched and freed just before the load
        std::vector<Sample> samples;
    };
    std::vector<Method> methods;
    for (const Picture& p : pictures) {
        const std::string file = (dir + "/" + p.name).toStdString();
        auto add = [&](const char* name, std::vector<std::string> argv, bool onWarm = false) {
            const bool selfTimed = argv[0] == self || argv[0] == baseline;
            methods.push_back({p.name, name, std::move(argv), selfTimed, onWarm, {}});
        };
        if (p.format == "jpeg")
            add("djpeg", {"djpeg", "-outfile", "/dev/null", file});
        else
            add("Qt, into a touched buffer", {self, "--child", "qt-mapped", file});
        add("QImageReader", {self, "--child", "qt", file});
        add("MapLoader", {self, "--child", "loader", file});
        if (!baseline.empty())
            add("MapLoader, baseline build", {baseline, "--child", "loader", file});
        if (p.format == "jpeg" && !quick) {
            add("MapLoader, huge pages", {self, "--child", "loader-huge", file});
        }
        if (warm) {
            add("QImageReader", {self, "--child", "qt+warm", file}, true);
            add("MapLoader", {self, "--child", "loader+warm", file}, true);
        }
    }
    // Rounds go through every method in turn, so that the load of a shared machine falls on all alike.
    // Each run waits a moment first, so that memory freed by the last one has gone back to the system.
    for (int r = 0; r < runs; ++r) {
        for (Method& m : methods) {
            QThread::msleep(ulong(pause * 1000));
            Sample s;
            QByteArray out;
            if (!runChild(m.argv, &s, &out)) {
                std::fprintf(stderr, "%s on %s failed\n", qPrintable(m.name), qPrintable(m.picture));
                m.samples.push_back(Sample{}); // keeps the rounds in step for the per-round ratios
                continue;
            }
            if (m.selfTimed) {
                const QList<QByteArray> f = out.trimmed().split(' ');
                if (f.size() == 6) {
                    s.ms = f[0].toDouble();
                    s.bandMs = f[1].toDouble();
                    s.frameMs = f[2].toDouble();
                    s.stallMs = f[3].toDouble();
                    s.rssMb = f[4].toDouble();
                    s.cpuMs = f[5].toDouble();
                }
            }
            m.samples.push_back(s);
            std::fprintf(stderr, "round %d %-10s %-24s %-5s %8.0f ms %7.0f MiB\n", r + 1,
                         qPrintable(m.picture), qPrintable(m.name), m.warm ? "warm" : "fresh", s.ms, s.rssMb);
        }
    }
    std::vector<Row> rows;
    for (const Method& m : methods) {
        auto median = [&](double Sample::*field) {
            std::vector<double> v;
            for (const Sample& s : m.samples)
                v.push_back(s.*field);
            return medianOf(v);
        };
        Row row{m.picture, m.name, m.warm, {}, -1};
        for (const Method& f : methods)
            if (f.picture == m.picture && !f.warm &&
                (f.name == "djpeg" || f.name == "Qt, into a touched buffer")) {
                std::vector<double> value, floor;
                for (const Sample& s : m.samples)
                    value.push_back(s.ms);
                for (const Sample& s : f.samples)
                    floor.push_back(s.ms);
                row.roundRatio = medianRatio(value, floor);
            }
        row.median.ms = median(&Sample::ms);
        row.median.bandMs = median(&Sample::bandMs);
        row.median.frameMs = median(&Sample::frameMs);
        row.median.stallMs = median(&Sample::stallMs);
        row.median.rssMb = median(&Sample::rssMb);
        row.median.cpuMs = median(&Sample::cpuMs);
        rows.push_back(row);
    }

    std::printf(
        "\nMedian of %d run(s), each in a freshly started process. x floor: against djpeg's full decode "
        "for JPEG, against Qt's decode into a buffer given and touched beforehand for the rest; per round: "
        "the median of each round's ratio to the floor measured in that round. Warm: the "
        "same load after touching and freeing as much memory in the same process. CPU: user and system "
        "time of all threads during the load (floor: the whole process). Peak RSS of the process doing the "
        "load (x RGB32: against one decoded 32-bit copy). First band: the first finished rows of the map "
        "drawn as the wait window shows them. Fitted frame: the fitted map painted from the finished "
        "picture.\n\n",
        runs);
    std::printf("| picture | method | load ms | x floor | x floor per round | warm ms | x floor | CPU ms | "
                "peak RSS MiB | "
                "x RGB32 | first band ms | fitted frame ms | longest UI stall ms |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Row& r : rows) {
        if (r.warm)
            continue;
        double floor = -1;
        for (const Row& o : rows)
            if (o.picture == r.picture && (o.method == "djpeg" || o.method == "Qt, into a touched buffer"))
                floor = o.median.ms;
        double warmMs = -1;
        for (const Row& o : rows)
            if (o.warm && o.picture == r.picture && o.method == r.method)
                warmMs = o.median.ms;
        double rgb32 = -1;
        for (const Picture& p : pictures)
            if (p.name == r.picture)
                rgb32 = 4.0 * p.size.width() * p.size.height() / (1 << 20);
        auto ratio = [&](double v) { return floor > 0 && v > 0 ? cell(v / floor, 2) : QStringLiteral("-"); };
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n",
                    qPrintable(r.picture), qPrintable(r.method), qPrintable(cell(r.median.ms)),
                    qPrintable(ratio(r.median.ms)), qPrintable(cell(r.roundRatio, 2)),
                    qPrintable(cell(warmMs)), qPrintable(ratio(warmMs)), qPrintable(cell(r.median.cpuMs)),
                    qPrintable(cell(r.median.rssMb)),
                    qPrintable(r.median.rssMb > 0 ? cell(r.median.rssMb / rgb32, 2) : QStringLiteral("-")),
                    qPrintable(cell(r.median.bandMs)), qPrintable(cell(r.median.frameMs)),
                    qPrintable(cell(r.median.stallMs, 1)));
    }
    return 0;
}
