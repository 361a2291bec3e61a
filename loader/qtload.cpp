#include "qtload.h"

#include "levelbuilder.h"
#include "loadmessages.h"
#include "picturebuffer.h"
#include "prefaulter.h"
#include "progressfile.h"
#include "sketch.h"

#include <QImageReader>
#include <QThreadPool>
#include <limits>

MapPicturePtr loadWithQt(const QString& path, PictureHeader::Kind kind, const QByteArray& head,
                         const LoadLimits& limits, const LoadHooks& hooks, Progress& progress, Failure fail)
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
                    YieldToDecoder();
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
