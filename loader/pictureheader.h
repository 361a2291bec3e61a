#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSize>
#include <QtGlobal>
#include <optional>

// What the first bytes of a picture file tell before anything is decoded: the kind of file by its
// signature (not its name), and for the kinds whose layout allows it, whether the file holds all the
// picture data its header promises. Qt's BMP reader fills missing rows with grey without a word, and
// a GIF cut short may come back half drawn, so those two are checked here.
class PictureHeader
{
public:
    enum class Kind { Unknown, Jpeg, Bmp, Gif, Png, Tiff };
    enum class Completeness { Complete, Truncated, Damaged, NotChecked };

    static constexpr int headBytes = 64; // enough of the start of a file for kindOf and bmpRequiredSize

    static Kind kindOf(const QByteArray& head);

    // The picture's size in pixels as a BMP or GIF header gives it, in 64 bits: a BMP's height may be 2^31,
    // one more than a QSize holds. Nothing for other kinds, whose headers Qt's readers parse.
    struct Extent {
        qint64 width = 0;
        qint64 height = 0;
    };
    static std::optional<Extent> sizeOf(Kind kind, const QByteArray& head);

    // Where an uncompressed BMP keeps its rows: from `offset` bytes into the file, `stride` bytes each,
    // the bottom row first when `bottomUp`.
    struct BmpRows {
        qint64 offset = 0;
        qint64 stride = 0;
        qint64 count = 0;
        bool bottomUp = true;
    };
    static std::optional<BmpRows> bmpRows(const QByteArray& head); // none for compressed rows

    // For an uncompressed BMP: the file's size in bytes that its header requires, or -1 when the header
    // does not say (compressed rows) or is not a BMP header; the largest qint64 when that overflows.
    static qint64 bmpRequiredSize(const QByteArray& head);

    // Walks a GIF's blocks up to the end of its first picture; cheap, as it skips the compressed data
    // sub-block by sub-block without decoding it.
    static Completeness gifCompleteness(QIODevice& file);

    // Reads from the start of `file` (open for reading, random access).
    static Completeness completeness(Kind kind, QIODevice& file);
};
