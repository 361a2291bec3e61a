#include "loadjob.h"

#include "jpegdecoder.h"
#include "levelbuilder.h"
#include "loadmessages.h"
#include "picturebuffer.h"
#include "pictureheader.h"
#include "progressfile.h"
#include "tiffdecoder.h"

#include <QFileInfo>
#include <QImageReader>
#include <QThreadPool>
#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>
#include <thread>

namespace
{

// Passes on only rising whole percentages, so the receiver's queue stays short.
class Progress
{
public:
    explicit Progress(const LoadJob::Hooks& hooks) : m_hooks(hooks) {}
    void report(int percent)
    {
        percent = std::clamp(percent, 0, 100);
        if (percent <= m_last)
            return;
        m_last = percent;
        if (m_hooks.progress)
            m_hooks.progress(percent);
    }
    bool stopped() const { return m_hooks.stop && m_hooks.stop->load(std::memory_order_relaxed); }

private:
    const LoadJob::Hooks& m_hooks;
    int m_last = -1;
};

struct Failure {
    QString* error;
    MapPicturePtr operator()(const QString& text) const
    {
        if (error)
            *error = text;
        return nullptr;
    }
};

// Decoding reaches these percentages; shrinking the last bands takes the rest.
constexpr int directDecodedPercent = 97;
constexpr int qtDecodedPercent = 85;

// Maps the memory of the picture and its copies in, a chunk at a time, on a thread of its own, so that
// the decoder and the shrinking find it ready rather than take the page faults themselves. When told how
// far the decoder has got, it keeps only a little ahead of it: fresh pages are zeroed by the kernel, and
// zeroing the whole picture at once filled the memory bus and slowed the decoder on the other core,
// where pages zeroed just before the decoder writes them are still in the cache.
class Prefaulter
{
public:
    // Takes the addresses now, on the calling thread: a reader that replaces the picture it was given
    // then leaves this thread mapping memory nobody uses, which is harmless.
    // `decoded`: how many bytes of the picture the decoder has written. `fromEnd`: the decoder starts at
    // the picture's last row.
    Prefaulter(const QImage& full, const LevelBuilder& levels, const std::atomic<qsizetype>* decoded = nullptr,
               bool fromEnd = false)
        : m_decoded(decoded), m_fromEnd(fromEnd)
    {
        m_spans.push_back({full.constBits(), full.sizeInBytes()});
        for (const QImage& level : levels.levels())
            m_spans.push_back({level.constBits(), level.sizeInBytes()});
        m_thread = std::thread([this] { run(); });
    }
    ~Prefaulter() { finish(); }
    void finish()
    {
        m_quit = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    struct Span {
        const uchar* start;
        qsizetype length;
    };
    using Pages = PictureBuffer::Pages;
    static constexpr qsizetype probeChunk = qsizetype(16) << 20; // bytes, a multiple of the huge page size
    // How far ahead of the decoder, and in what steps: the fastest of those tried on a 2-core machine
    // (4 to 32 MiB ahead, steps of 1 to 8 MiB, against the whole picture at once).
    static constexpr qsizetype ahead = qsizetype(16) << 20;
    static constexpr qsizetype step = qsizetype(4) << 20;

    // Waits until the decoder is within `ahead` bytes of `at` in the picture.
    void waitForDecoder(qsizetype at) const
    {
        while (m_decoded && !m_quit && at > m_decoded->load(std::memory_order_relaxed) + ahead)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }

    void run()
    {
        const Span& picture = m_spans[0];
        Pages kind = PictureBuffer::pages();
        qsizetype at = 0;
        // The picture's first chunks alternately in huge and in plain pages, when the kind of pages is to
        // be probed; then the rest, and the copies, in whichever mapped a chunk faster.
        if (kind == Pages::Probe && picture.length >= 8 * probeChunk && !m_fromEnd) {
            double best[2] = {1e300, 1e300}; // seconds per chunk: plain, huge
            for (int k = 0; k < 4 && !m_quit; ++k, at += probeChunk) {
                const Pages tried = k % 2 ? Pages::Plain : Pages::Huge;
                const auto t0 = std::chrono::steady_clock::now();
                PictureBuffer::choose(picture.start + at, probeChunk, tried);
                PictureBuffer::populate(picture.start + at, probeChunk);
                const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                double& b = best[tried == Pages::Huge];
                b = std::min(b, s);
            }
            kind = best[1] <= best[0] ? Pages::Huge : Pages::Plain;
            PictureBuffer::choose(picture.start + at, picture.length - at, kind);
        } else if (kind == Pages::Probe) {
            kind = Pages::Plain;
            PictureBuffer::choose(picture.start, picture.length, kind);
        }
        if (PictureBuffer::pages() == Pages::Probe)
            for (size_t i = 1; i < m_spans.size(); ++i)
                PictureBuffer::choose(m_spans[i].start, m_spans[i].length, kind);
        // The copies are filled in step with the picture, so each is mapped in the same proportion.
        std::vector<qsizetype> copyAt(m_spans.size(), 0);
        while (at < picture.length && !m_quit) {
            waitForDecoder(at);
            const qsizetype length = std::min(step, picture.length - at);
            populate(picture, at, length);
            at += length;
            for (size_t i = 1; i < m_spans.size(); ++i) {
                const qsizetype to = qsizetype(double(m_spans[i].length) * double(at) / double(picture.length));
                populate(m_spans[i], copyAt[i], to - copyAt[i]);
                copyAt[i] = to;
            }
        }
        // What rounding left of the copies; all of them when the reader makes a picture of its own.
        for (size_t i = 1; i < m_spans.size() && !m_quit; ++i)
            populate(m_spans[i], copyAt[i], m_spans[i].length - copyAt[i]);
    }

    // `length` bytes of `span`, `at` bytes from where the decoder starts.
    void populate(const Span& span, qsizetype at, qsizetype length) const
    {
        PictureBuffer::populate(span.start + (m_fromEnd ? span.length - at - length : at), length);
    }

    std::vector<Span> m_spans;
    const std::atomic<qsizetype>* m_decoded;
    bool m_fromEnd;
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

// Tells the hooks which rows of the sketch each finished band has filled.
class Sketch
{
public:
    Sketch(const LevelBuilder& levels, const LoadJob::Hooks& hooks) : m_levels(levels), m_hooks(hooks)
    {
        const std::vector<QImage>& copies = levels.levels();
        for (size_t k = 0; k < copies.size(); ++k)
            if (k == 0 || std::max(copies[k].width(), copies[k].height()) > LoadJob::sketchSide)
                m_level = k;
        if (m_level < copies.size())
            m_image = copies[m_level];
    }
    void bandDone(int band) const
    {
        if (m_image.isNull() || !m_hooks.sketchRows)
            return;
        const auto [first, end] = m_levels.levelRows(m_level, band);
        if (first < end)
            m_hooks.sketchRows(m_image, first, end);
    }

private:
    const LevelBuilder& m_levels;
    const LoadJob::Hooks& m_hooks;
    size_t m_level = 0;
    QImage m_image; // shares the copy's memory; only read
};

// Decodes with one of the decoders here, straight into the picture's buffer, while a helper shrinks the
// finished bands; nothing when the file is of a layout left to Qt's readers.
template <typename Decoder>
std::optional<MapPicturePtr> loadDirect(const QString& path, const LoadLimits& limits,
                                        const LoadJob::Hooks& hooks, Progress& progress, Failure fail)
{
    Decoder decoder(path);
    if (!decoder.readHeader()) {
        switch (decoder.failure()) {
        case Decoder::Failure::Unsupported:
            return std::nullopt;
        case Decoder::Failure::Truncated:
            return fail(LoadMessages::truncated(path));
        case Decoder::Failure::Damaged:
            return fail(LoadMessages::damaged(path));
        default:
            return fail(LoadMessages::notAPicture(path));
        }
    }
    const QSize size = decoder.size();
    if (!limits.allows(size))
        return fail(LoadMessages::tooLarge(path, size));
    QImage full = PictureBuffer::allocate(
        size, decoder.hasAlpha() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (full.isNull())
        return fail(LoadMessages::tooLarge(path, size));
    LevelBuilder levels(full);
    if (levels.isNull())
        return fail(LoadMessages::tooLarge(path, size));

    std::atomic<qsizetype> decodedBytes{0};
    Prefaulter prefaulter(full, levels, &decodedBytes);
    Sketch sketch(levels, hooks);
    QThreadPool helper; // shrinks finished bands in order
    helper.setMaxThreadCount(1);

    int nextBand = 0;
    const int bands = levels.bandCount();
    const bool decoded = decoder.decode(full.bits(), full.bytesPerLine(), levels.bandRows(), [&](int done) {
        decodedBytes.store(qsizetype(done) * full.bytesPerLine(), std::memory_order_relaxed);
        while (nextBand < bands && levels.bandEnd(nextBand) <= done) {
            const int band = nextBand++;
            helper.start([&levels, &sketch, band] {
                levels.shrinkBand(band);
                sketch.bandDone(band);
            });
        }
        progress.report(int(qint64(done) * directDecodedPercent / size.height()));
        return !progress.stopped();
    });
    helper.waitForDone();
    prefaulter.finish();
    if (!decoded) {
        switch (decoder.failure()) {
        case Decoder::Failure::Truncated:
            return fail(LoadMessages::truncated(path));
        case Decoder::Failure::Stopped:
            return fail(QString());
        default:
            return fail(LoadMessages::damaged(path));
        }
    }
    progress.report(100);
    return std::make_shared<const MapPicture>(std::move(full), levels.takeLevels());
}

MapPicturePtr loadWithQt(const QString& path, PictureHeader::Kind kind, const QByteArray& head,
                         const LoadLimits& limits, const LoadJob::Hooks& hooks, Progress& progress,
                         Failure fail)
{
    ProgressFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(LoadMessages::unreadable(path, file.errorString()));
    file.onRead = [&](qint64 furthest, qint64 size) {
        if (size > 0)
            progress.report(int(furthest * qtDecodedPercent / size));
    };
    file.keepGoing = [&] { return !progress.stopped(); };
    QImageReader reader(&file);
    reader.setAutoTransform(false);
    QSize size = reader.size();
    // Qt's BMP reader gives a top-down picture's height as the header has it, negative, and then reads
    // the picture all the same. (A height of -2^31 was refused as too large before this.)
    if (kind == PictureHeader::Kind::Bmp && size.height() < 0 &&
        size.height() > std::numeric_limits<int>::min())
        size.setHeight(-size.height());
    if (!reader.canRead() || !size.isValid())
        return fail(LoadMessages::notAPicture(path));
    if (!limits.allows(size))
        return fail(LoadMessages::tooLarge(path, size));

    // Where Qt's reader will produce one of the formats kept, it decodes into a buffer given to it, and
    // that buffer and the copies' are mapped in beside the decoder, as for JPEG. The GIF reader always
    // makes a picture of its own, so it gets no buffer; its copies are mapped in all the same.
    QImage image;
    std::optional<LevelBuilder> levels;
    std::optional<Prefaulter> prefaulter;
    const QImage::Format produced = reader.imageFormat();
    std::optional<PictureHeader::BmpRows> bmp = PictureHeader::bmpRows(head);
    if (bmp && bmp->count != size.height())
        bmp.reset();
    if (produced == QImage::Format_RGB32 || produced == QImage::Format_ARGB32_Premultiplied) {
        if (kind != PictureHeader::Kind::Gif) {
            image = PictureBuffer::allocate(size, produced);
            if (image.isNull())
                return fail(LoadMessages::tooLarge(path, size));
        }
        levels.emplace(image, size, produced);
        if (levels->isNull())
            return fail(LoadMessages::tooLarge(path, size));
        prefaulter.emplace(image, *levels, nullptr, bool(bmp)); // the reader starts at the last row
    }
    std::optional<Sketch> sketch;
    if (levels)
        sketch.emplace(*levels, hooks);

    // A BMP keeps its rows one after the other, usually the bottom one first, and Qt's reader fills each
    // picture row as it reads it: the bands below what has been read can be shrunk while it goes on. It
    // fills a top-down BMP from the bottom too, then turns the picture over, so those bands wait.
    QThreadPool helper;
    helper.setMaxThreadCount(1);
    int waiting = levels ? levels->bandCount() : 0; // bands [0, waiting) are left for after the decode
    if (levels && !image.isNull() && bmp && bmp->bottomUp) {
        const qint64 readAhead = 16384 / bmp->stride + 2; // rows the file's own buffer may hold unused
        file.onRead = [&, readAhead, report = file.onRead](qint64 furthest, qint64 fileSize) {
            report(furthest, fileSize);
            const qint64 rowsFilled = std::max<qint64>(0, (furthest - bmp->offset) / bmp->stride - readAhead);
            const qint64 firstFilled = size.height() - rowsFilled;
            while (waiting > 0 && qint64(waiting - 1) * levels->bandRows() >= firstFilled) {
                const int band = --waiting;
                helper.start([&levels, &sketch, band] {
                    levels->shrinkBand(band);
                    sketch->bandDone(band);
                });
            }
        };
    }
    const uchar* given = image.constBits();
    const bool read = reader.read(&image) && !image.isNull();
    prefaulter.reset();
    if (progress.stopped()) // the reader was made to fail on purpose, or finished just as the stop came
        return fail(QString());
    // Qt's readers take a file cut short while they read for the end of the picture, and fill the rest.
    if (file.cutShort())
        return fail(LoadMessages::truncated(path));
    if (!read)
        return fail(LoadMessages::damaged(path));
    // Keep 32 bits a pixel; a conversion between formats of the same depth happens in place.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    progress.report(qtDecodedPercent + 5);

    const bool replaced = given && image.constBits() != given; // the reader made a picture of its own
    if (!levels || replaced || image.format() != produced || image.size() != size) {
        helper.waitForDone();
        levels.emplace(image);
        sketch.emplace(*levels, hooks);
        waiting = levels->bandCount();
    }
    if (levels->isNull())
        return fail(LoadMessages::tooLarge(path, size));
    // Both threads take the bands left in turn from a shared counter.
    std::atomic<int> next{0};
    auto work = [&] {
        for (int b = next++; b < waiting; b = next++) {
            levels->shrinkBand(b);
            sketch->bandDone(b);
        }
    };
    helper.start(work);
    work();
    helper.waitForDone();
    progress.report(100);
    return std::make_shared<const MapPicture>(std::move(image), levels->takeLevels());
}

} // namespace

MapPicturePtr LoadJob::run(const QString& path, const LoadLimits& limits, const Hooks& hooks, QString* error)
{
    Failure fail{error};
    Progress progress(hooks);
    if (error)
        error->clear();
    progress.report(0);

    if (!QFileInfo::exists(path))
        return fail(LoadMessages::missing(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(LoadMessages::unreadable(path, file.errorString()));
    const QByteArray head = file.peek(PictureHeader::headBytes);
    const PictureHeader::Kind kind = PictureHeader::kindOf(head);
    // CMYK JPEG, 16-bit TIFF and the like go on to Qt's readers, which convert those.
    if (kind == PictureHeader::Kind::Jpeg)
        if (auto picture = loadDirect<JpegDecoder>(path, limits, hooks, progress, fail))
            return *picture;
    if (kind == PictureHeader::Kind::Tiff)
        if (auto picture = loadDirect<TiffDecoder>(path, limits, hooks, progress, fail))
            return *picture;
    // Where the header is simple enough to read here, refuse a picture too large before Qt's reader sees
    // it (which might refuse it in words of its own), and one that is cut short before decoding it.
    const std::optional<PictureHeader::Extent> size = PictureHeader::sizeOf(kind, head);
    if (size && !limits.allows(size->width, size->height))
        return fail(LoadMessages::tooLarge(path, size->width, size->height));
    switch (PictureHeader::completeness(kind, file)) {
    case PictureHeader::Completeness::Truncated:
        return fail(LoadMessages::truncated(path));
    case PictureHeader::Completeness::Damaged:
        return fail(LoadMessages::damaged(path));
    default:
        break;
    }
    file.close();
    return loadWithQt(path, kind, head, limits, hooks, progress, fail);
}
