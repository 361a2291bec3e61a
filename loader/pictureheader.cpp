#include "pictureheader.h"

#include <cstring>
#include <limits>

namespace
{

quint32 le32(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

quint16 le16(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint16(u[0] | u[1] << 8);
}

} // namespace

PictureHeader::Kind PictureHeader::kindOf(const QByteArray& head)
{
    auto startsWith = [&](const char* magic, int n) {
        return head.size() >= n && std::memcmp(head.constData(), magic, size_t(n)) == 0;
    };
    if (startsWith("\xff\xd8\xff", 3))
        return Kind::Jpeg;
    if (startsWith("BM", 2))
        return Kind::Bmp;
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6))
        return Kind::Gif;
    if (startsWith("\x89PNG\r\n\x1a\n", 8))
        return Kind::Png;
    if (startsWith("II*\0", 4) || startsWith("MM\0*", 4))
        return Kind::Tiff;
    return Kind::Unknown;
}

std::optional<PictureHeader::Extent> PictureHeader::sizeOf(Kind kind, const QByteArray& head)
{
    const char* d = head.constData();
    if (kind == Kind::Bmp && head.size() >= 26 && le32(d + 14) >= 40) {
        const qint64 width = qint32(le32(d + 18)), height = qint32(le32(d + 22)); // top-down when negative
        if (width > 0 && height != 0)
            return Extent{width, height < 0 ? -height : height};
    }
    if (kind == Kind::Gif && head.size() >= 10) // the logical screen, which holds every frame
        return Extent{le16(d + 6), le16(d + 8)};
    return std::nullopt;
}

std::optional<PictureHeader::BmpRows> PictureHeader::bmpRows(const QByteArray& head)
{
    // File header (14 bytes), then an info header of at least 40 bytes for the fields read here.
    if (head.size() < 14 + 40 || kindOf(head) != Kind::Bmp)
        return std::nullopt;
    const char* d = head.constData();
    const quint32 dataOffset = le32(d + 10);
    const quint32 infoSize = le32(d + 14);
    if (infoSize < 40)
        return std::nullopt; // the old 12-byte header; Qt checks those itself
    const qint64 width = qint32(le32(d + 18));
    const qint64 height = qint32(le32(d + 22));
    const int bitsPerPixel = le16(d + 28);
    const quint32 compression = le32(d + 30);
    constexpr quint32 plainRows = 0, bitFields = 3;
    if ((compression != plainRows && compression != bitFields) || width <= 0 || height == 0 ||
        bitsPerPixel == 0)
        return std::nullopt;
    BmpRows rows;
    rows.offset = dataOffset;
    rows.stride = (width * bitsPerPixel + 31) / 32 * 4; // rows padded to 4 bytes
    rows.count = height < 0 ? -height : height;
    rows.bottomUp = height > 0;
    return rows;
}

qint64 PictureHeader::bmpRequiredSize(const QByteArray& head)
{
    const std::optional<BmpRows> rows = bmpRows(head);
    if (!rows)
        return -1;
    qint64 bytes = 0;
    if (__builtin_mul_overflow(rows->stride, rows->count, &bytes) ||
        __builtin_add_overflow(bytes, rows->offset, &bytes))
        return std::numeric_limits<qint64>::max(); // more than any file holds
    return bytes;
}

PictureHeader::Completeness PictureHeader::gifCompleteness(QIODevice& file)
{
    if (!file.seek(0))
        return Completeness::Truncated;
    const QByteArray screen = file.read(13); // signature, screen size, flags, background, aspect
    if (screen.size() < 13)
        return Completeness::Truncated;
    auto colourTable = [](uchar flags) { return (flags & 0x80) ? 3 * (qint64(2) << (flags & 7)) : 0; };
    auto skip = [&](qint64 n) { return file.seek(file.pos() + n) && file.pos() <= file.size(); };
    auto byte = [&](uchar* b) { return file.getChar(reinterpret_cast<char*>(b)); };
    auto skipSubBlocks = [&]() {
        uchar n = 0;
        while (byte(&n)) {
            if (n == 0)
                return true;
            if (!skip(n))
                return false;
        }
        return false;
    };
    if (!skip(colourTable(uchar(screen[10]))))
        return Completeness::Truncated;
    uchar introducer = 0;
    while (byte(&introducer)) {
        if (introducer == 0x21) { // extension: label, then sub-blocks
            if (!skip(1) || !skipSubBlocks())
                return Completeness::Truncated;
        } else if (introducer == 0x2c) { // image descriptor, optional local table, LZW size, data
            const QByteArray descriptor = file.read(9);
            if (descriptor.size() < 9 || !skip(colourTable(uchar(descriptor[8]))))
                return Completeness::Truncated;
            uchar codeSize = 0;
            if (!byte(&codeSize))
                return Completeness::Truncated;
            if (codeSize < 2 || codeSize > 11)
                return Completeness::Damaged;
            return skipSubBlocks() && file.pos() <= file.size() ? Completeness::Complete
                                                                : Completeness::Truncated;
        } else {
            return Completeness::Damaged; // a trailer before any picture, or no block at all
        }
    }
    return Completeness::Truncated;
}

PictureHeader::Completeness PictureHeader::completeness(Kind kind, QIODevice& file)
{
    switch (kind) {
    case Kind::Bmp: {
        if (!file.seek(0))
            return Completeness::Truncated;
        const qint64 required = bmpRequiredSize(file.peek(headBytes));
        if (required < 0)
            return Completeness::NotChecked;
        return file.size() < required ? Completeness::Truncated : Completeness::Complete;
    }
    case Kind::Gif:
        return gifCompleteness(file);
    default:
        return Completeness::NotChecked;
    }
}
