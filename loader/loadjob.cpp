#include "loadjob.h"

#include "jpegdecoder.h"
#include "levelbuilder.h"
#include "loadmessages.h"
#include "picturebuffer.h"
#include "pictureheader.h"
#include "progressfile.h"

#include <QFileInfo>
#include <QImageReader>
#include <QScopeGuard>
#include <QThreadPool>
#include <algorithm>
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
constexpr int jpegDecodedPercent = 97;
constexpr int qtDecodedPercent = 85;

// Maps the memory of the picture and its copies in, a chunk at a time, on a thread of its own, so that
// the decoder and the shrinking find it ready rather than take the page faults themselves.
class Prefaulter
{
public:
    // Takes the addresses now, on the calling thread: a reader that replaces the picture it was given
    // then leaves this thread mapping memory nobody uses, which is harmless.
    Prefaulter(const QImage& full, const LevelBuilder& levels)
    {
        m_spans.push_back({full.constBits(), full.sizeInBytes()});
        for (const QImage& level : levels.levels())
            m_spans.push_back({level.constBits(), level.sizeInBytes()});
        m_thread = std::thread([this] {
            constexpr qsizetype chunk = qsizetype(16) << 20; // bytes
            for (const Span& span : m_spans)
                for (qsizetype at = 0; at < span.length && !m_quit; at += chunk)
                    PictureBuffer::populate(span.start + at, std::min(chunk, span.length - at));
        });
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
    std::vector<Span> m_spans;
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

MapPicturePtr loadJpeg(const QString& path, JpegDecoder& decoder, const LoadLimits& limits,
                       const LoadJob::Hooks& hooks, Progress& progress, Failure fail)
{
    const QSize size = decoder.size();
    if (!limits.allows(size))
        return fail(LoadMessages::tooLarge(path, size));
    QImage full = PictureBuffer::allocate(size, QImage::Format_RGB32);
    if (full.isNull())
        return fail(LoadMessages::tooLarge(path, size));
    LevelBuilder levels(full);
    if (levels.isNull())
        return fail(LoadMessages::tooLarge(path, size));

    Prefaulter prefaulter(full, levels);
    QThreadPool helper; // shrinks finished bands in order
    helper.setMaxThreadCount(1);
    // The preview decodes the whole file once more, reduced; on a thread of its own so that the bands
    // do not queue behind it.
    std::atomic<bool> previewWanted{true};
    std::thread previewer;
    auto joinPreview = qScopeGuard([&] {
        previewWanted = false;
        if (previewer.joinable())
            previewer.join();
    });
    if (hooks.preview && qint64(size.width()) * size.height() >= hooks.previewFromPixels) {
        previewer = std::thread([&] {
            JpegDecoder reduced(path);
            if (!reduced.readHeader())
                return;
            QImage small(reduced.scaledSize(LoadJob::previewDivisor), QImage::Format_RGB32);
            if (small.isNull() || !reduced.decode(small.bits(), small.bytesPerLine(), LoadJob::previewDivisor,
                                                  small.height() / 8 + 1,
                                                  [&](int) { return previewWanted && !progress.stopped(); }))
                return;
            hooks.preview(std::make_shared<const MapPicture>(
                MapPicture::preview(std::move(small), size, LoadJob::previewDivisor)));
        });
    }

    uchar* rows = full.bits();
    const qsizetype stride = full.bytesPerLine();
    int nextBand = 0;
    const int bands = levels.bandCount();
    const bool decoded = decoder.decode(rows, stride, 1, levels.bandRows(), [&](int done) {
        while (nextBand < bands && levels.bandEnd(nextBand) <= done) {
            const int band = nextBand++;
            helper.start([&levels, band] { levels.shrinkBand(band); });
        }
        progress.report(int(qint64(done) * jpegDecodedPercent / size.height()));
        return !progress.stopped();
    });
    if (!decoded)
        previewWanted = false;
    helper.waitForDone();
    prefaulter.finish();
    joinPreview.dismiss();
    if (previewer.joinable())
        previewer.join();
    if (!decoded) {
        switch (decoder.failure()) {
        case JpegDecoder::Failure::Truncated:
            return fail(LoadMessages::truncated(path));
        case JpegDecoder::Failure::Stopped:
            return fail(QString());
        default:
            return fail(LoadMessages::damaged(path));
        }
    }
    progress.report(100);
    return std::make_shared<const MapPicture>(std::move(full), levels.takeLevels());
}

MapPicturePtr loadWithQt(const QString& path, PictureHeader::Kind kind, const QByteArray& head,
                         const LoadLimits& limits, Progress& progress, Failure fail)
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
    const QSize size = reader.size();
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
    if (produced == QImage::Format_RGB32 || produced == QImage::Format_ARGB32_Premultiplied) {
        if (kind != PictureHeader::Kind::Gif) {
            image = PictureBuffer::allocate(size, produced);
            if (image.isNull())
                return fail(LoadMessages::tooLarge(path, size));
        }
        levels.emplace(image, size, produced);
        if (levels->isNull())
            return fail(LoadMessages::tooLarge(path, size));
        prefaulter.emplace(image, *levels);
    }

    // A BMP keeps its rows one after the other, usually the bottom one first, and Qt's reader fills each
    // picture row as it reads it: the bands below what has been read can be shrunk while it goes on.
    QThreadPool helper;
    helper.setMaxThreadCount(1);
    int waiting = levels ? levels->bandCount() : 0; // bands [0, waiting) are left for after the decode
    const std::optional<PictureHeader::BmpRows> bmp = PictureHeader::bmpRows(head);
    if (levels && !image.isNull() && bmp && bmp->bottomUp && bmp->count == size.height()) {
        const qint64 readAhead = 16384 / bmp->stride + 2; // rows the file's own buffer may hold unused
        file.onRead = [&, readAhead, report = file.onRead](qint64 furthest, qint64 fileSize) {
            report(furthest, fileSize);
            const qint64 rowsFilled = std::max<qint64>(0, (furthest - bmp->offset) / bmp->stride - readAhead);
            const qint64 firstFilled = size.height() - rowsFilled;
            while (waiting > 0 && qint64(waiting - 1) * levels->bandRows() >= firstFilled) {
                const int band = --waiting;
                helper.start([&levels, band] { levels->shrinkBand(band); });
            }
        };
    }
    const uchar* given = image.constBits();
    const bool read = reader.read(&image) && !image.isNull();
    prefaulter.reset();
    if (progress.stopped()) // the reader was made to fail on purpose, or finished just as the stop came
        return fail(QString());
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
        waiting = levels->bandCount();
    }
    if (levels->isNull())
        return fail(LoadMessages::tooLarge(path, size));
    // Both threads take the bands left in turn from a shared counter.
    std::atomic<int> next{0};
    auto work = [&] {
        for (int b = next++; b < waiting; b = next++)
            levels->shrinkBand(b);
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
    if (kind == PictureHeader::Kind::Jpeg) {
        JpegDecoder decoder(path);
        if (decoder.readHeader())
            return loadJpeg(path, decoder, limits, hooks, progress, fail);
        if (decoder.failure() == JpegDecoder::Failure::Truncated)
            return fail(LoadMessages::truncated(path));
        if (decoder.failure() != JpegDecoder::Failure::Unsupported)
            return fail(LoadMessages::notAPicture(path));
        // CMYK and the like: Qt's reader converts those.
    }
    // Where the header is simple enough to read here, refuse a picture too large before Qt's reader sees
    // it (which might refuse it in words of its own), and one that is cut short before decoding it.
    const QSize size = PictureHeader::sizeOf(kind, head);
    if (size.isValid() && !limits.allows(size))
        return fail(LoadMessages::tooLarge(path, size));
    switch (PictureHeader::completeness(kind, file)) {
    case PictureHeader::Completeness::Truncated:
        return fail(LoadMessages::truncated(path));
    case PictureHeader::Completeness::Damaged:
        return fail(LoadMessages::damaged(path));
    default:
        break;
    }
    file.close();
    return loadWithQt(path, kind, head, limits, progress, fail);
}
