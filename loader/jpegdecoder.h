#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

// Decodes a JPEG file straight into the caller's 32-bit rows (blue, green, red, 255 in memory,
// which is QImage::Format_RGB32 on little-endian machines), optionally reduced 2, 4 or 8 times while
// decoding. The decoder's own warnings are kept: a file that ends early is reported, where a plain
// reader would fill the missing rows with grey.
class JpegDecoder
{
public:
    enum class Failure { None, NotJpeg, Truncated, Damaged, Unsupported, Stopped };

    // Reads the file through a small buffer of its own: mapping it instead would cost one page fault per
    // 4 KiB of file, which on this kind of machine adds a good fifth to a decode.
    explicit JpegDecoder(const QString& path);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Reads the header only. After it, size() is the picture's size in pixels.
    bool readHeader();
    QSize size() const { return m_size; }
    // The size of the output when reduced by `denominator` (1, 2, 4 or 8), rounded up as the decoder does.
    QSize scaledSize(int denominator) const;

    // Decodes the whole picture reduced by `denominator` into rows `stride` bytes apart starting at `rows`
    // (scaledSize(denominator) pixels). Calls `rowsDone` with the count of finished rows at least every
    // `reportEvery` rows and at the end; when it returns false the decode stops (Failure::Stopped).
    bool decode(uchar* rows, qsizetype stride, int denominator, int reportEvery,
                const std::function<bool(int rowsDone)>& rowsDone);
    bool decode(uchar* rows, qsizetype stride, int reportEvery,
                const std::function<bool(int rowsDone)>& rowsDone)
    {
        return decode(rows, stride, 1, reportEvery, rowsDone);
    }
    bool hasAlpha() const { return false; } // as for TiffDecoder: the rows are always opaque

    Failure failure() const { return m_failure; }
    QString reason() const { return m_reason; } // the decoder's own message, for the log

    struct State; // the library's decompressor and error handler

private:
    std::unique_ptr<State> m_state;
    QSize m_size;
    Failure m_failure = Failure::None;
    QString m_reason;
};
