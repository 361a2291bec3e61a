#include "loadjob.h"

#include "directload.h"
#include "loadmessages.h"
#include "pictureheader.h"
#include "qtload.h"

#include <QFileInfo>

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
        if (auto picture = DirectLoad::jpeg(path, limits, hooks, progress, fail))
            return *picture;
    if (kind == PictureHeader::Kind::Tiff)
        if (auto picture = DirectLoad::tiff(path, limits, hooks, progress, fail))
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
