#include "directload.h"

#include "jpegdecoder.h"
#include "levelbuilder.h"
#include "loadmessages.h"
#include "picturebuffer.h"
#include "prefaulter.h"
#include "sketch.h"
#include "tiffdecoder.h"

#include <QThreadPool>

namespace
{
// Decodes with one of the decoders here, straight into the picture's buffer, while a helper shrinks the
// finished bands; nothing when the file is of a layout left to Qt's readers.
template <typename Decoder>
std::optional<MapPicturePtr> loadDirect(const QString& path, const LoadLimits& limits, const LoadHooks& hooks,
                                        Progress& progress, Failure fail)
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
    QImage full = PictureBuffer::allocate(size, decoder.hasAlpha() ? QImage::Format_ARGB32_Premultiplied
                                                                   : QImage::Format_RGB32);
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
                YieldToDecoder();
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
} // namespace

std::optional<MapPicturePtr> DirectLoad::jpeg(const QString& path, const LoadLimits& limits,
                                              const LoadHooks& hooks, Progress& progress, Failure fail)
{
    return loadDirect<JpegDecoder>(path, limits, hooks, progress, fail);
}

std::optional<MapPicturePtr> DirectLoad::tiff(const QString& path, const LoadLimits& limits,
                                              const LoadHooks& hooks, Progress& progress, Failure fail)
{
    return loadDirect<TiffDecoder>(path, limits, hooks, progress, fail);
}
