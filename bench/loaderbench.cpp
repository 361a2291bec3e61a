// Map loading benchmark. Generates scanned-map-like pictures once into bench/data/, then times each
// way of loading each of them in a child process of its own, so that the peak resident memory of every
// measurement is its own: djpeg's full decode (the floor, JPEG only), a plain QImageReader load with
// Qt's allocation limit lifted (the naive baseline), Qt's decode into memory that is already mapped
// (what a decode costs without page faults), and the program's loader, with its preview and the
// longest stall of the event loop while it works.
//
//   bench_loader [--quick] [--runs N] [--data DIR]
//   bench_loader --child MODE FILE      (used by the above)

#include "maploader.h"
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
    double ms = -1;        // the load, wall time
    double previewMs = -1; // loader only: first preview
    double frameMs = -1;   // loader only: load plus painting the fitted map
    double stallMs = -1;   // loader only: longest gap between event-loop ticks
    double rssMb = -1;     // peak resident memory of the whole process
    double cpuMs = -1;     // user and system time of the whole process, all threads
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

// MODE is qt, qt-mapped, loader or loader-preview, with "+warm" for warm memory.
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
    } else if (mode == "loader" || mode == "loader-preview") {
        MapLoader loader;
        if (mode == "loader-preview")
            loader.setPreviewFromPixels(MapLoader::previewWorthFromPixels);
        QElapsedTimer gap;
        double worst = 0;
        QTimer tick;
        tick.setInterval(2);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            worst = std::max(worst, sinceMs(gap));
            gap.start();
        });
        MapPicturePtr result;
        QObject::connect(&loader, &MapLoader::preview, [&](MapPicturePtr reduced) {
            if (s.previewMs < 0) {
                paintFitted(*reduced);
                s.previewMs = sinceMs(t);
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
    std::printf("%f %f %f %f %f %f\n", s.ms, s.previewMs, s.frameMs, s.stallMs, s.rssMb, s.cpuMs);
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
    Sample median;
};

double medianOf(std::vector<double> v)
{
    v.erase(std::remove(v.begin(), v.end(), -1.0), v.end());
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

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
    bool quick = false;
    int runs = 3;
    QString dir = QStringLiteral(MW_BENCH_DATA_DIR);
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--quick")
            quick = true;
        else if (args[i] == "--runs" && i + 1 < args.size())
            runs = args[++i].toInt();
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
    if (!generate(dir, pictures))
        return 1;

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    struct Method {
        QString picture;
        QString name;
        std::vector<std::string> argv;
        bool selfTimed;
        bool cold; // run after a pause long enough for freed memory to go back to the host
        std::vector<Sample> samples;
    };
    std::vector<Method> methods;
    for (const Picture& p : pictures) {
        const std::string file = (dir + "/" + p.name).toStdString();
        auto add = [&](const char* name, std::vector<std::string> argv, bool cold = false) {
            const bool selfTimed = argv[0] == self;
            methods.push_back({p.name, name, std::move(argv), selfTimed, cold, {}});
        };
        if (p.format == "jpeg") {
            add("djpeg", {"djpeg", "-outfile", "/dev/null", file});
            if (p.name == "map100.jpg")
                add("djpeg -scale 1/8", {"djpeg", "-scale", "1/8", "-outfile", "/dev/null", file});
        } else {
            add("Qt, into a touched buffer", {self, "--child", "qt-mapped", file});
        }
        add("QImageReader", {self, "--child", "qt+warm", file});
        add("MapLoader", {self, "--child", "loader+warm", file});
        if (p.format == "jpeg")
            add("MapLoader with preview", {self, "--child", "loader-preview+warm", file});
        if (!quick) {
            add("QImageReader, cold memory", {self, "--child", "qt", file}, true);
            add("MapLoader, cold memory", {self, "--child", "loader", file}, true);
        }
    }
    // Rounds go through every method in turn, so that the load of a shared machine falls on all alike.
    for (int r = 0; r < runs; ++r) {
        for (Method& m : methods) {
            if (m.cold)
                QThread::sleep(4);
            Sample s;
            QByteArray out;
            if (!runChild(m.argv, &s, &out)) {
                std::fprintf(stderr, "%s on %s failed\n", qPrintable(m.name), qPrintable(m.picture));
                continue;
            }
            if (m.selfTimed) {
                const QList<QByteArray> f = out.trimmed().split(' ');
                if (f.size() == 6) {
                    s.ms = f[0].toDouble();
                    s.previewMs = f[1].toDouble();
                    s.frameMs = f[2].toDouble();
                    s.stallMs = f[3].toDouble();
                    s.rssMb = f[4].toDouble();
                    s.cpuMs = f[5].toDouble();
                }
            }
            m.samples.push_back(s);
            std::fprintf(stderr, "round %d %-10s %-30s %8.0f ms %7.0f MiB\n", r + 1, qPrintable(m.picture),
                         qPrintable(m.name), s.ms, s.rssMb);
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
        Row row{m.picture, m.name, {}};
        row.median.ms = median(&Sample::ms);
        row.median.previewMs = median(&Sample::previewMs);
        row.median.frameMs = median(&Sample::frameMs);
        row.median.stallMs = median(&Sample::stallMs);
        row.median.rssMb = median(&Sample::rssMb);
        row.median.cpuMs = median(&Sample::cpuMs);
        rows.push_back(row);
    }

    std::printf(
        "\nMedian of %d run(s). x floor: against djpeg for JPEG, against Qt's decode into a touched buffer "
        "for the rest. CPU: user and system time of all threads during the load (djpeg: the whole process). "
        "Peak RSS of the process doing the load. Preview: the fitted map painted from the "
        "reduced decode. Fitted frame: the fitted map painted from the finished picture.\n\n",
        runs);
    std::printf(
        "| picture | method | load ms | x floor | CPU ms | peak RSS MiB | preview ms | fitted frame ms | "
        "longest UI stall ms |\n|---|---|---|---|---|---|---|---|---|\n");
    for (const Row& r : rows) {
        // The floor: djpeg for JPEG, Qt's decode into mapped memory for the rest.
        double floor = -1;
        for (const Row& o : rows)
            if (o.picture == r.picture && (o.method == "djpeg" || o.method == "Qt, into a touched buffer"))
                floor = o.median.ms;
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", qPrintable(r.picture),
                    qPrintable(r.method), qPrintable(cell(r.median.ms)),
                    qPrintable(floor > 0 ? cell(r.median.ms / floor, 2) : "-"),
                    qPrintable(cell(r.median.cpuMs)), qPrintable(cell(r.median.rssMb)),
                    qPrintable(cell(r.median.previewMs)), qPrintable(cell(r.median.frameMs)),
                    qPrintable(cell(r.median.stallMs, 1)));
    }
    return 0;
}
