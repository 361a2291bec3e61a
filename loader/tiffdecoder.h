#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

// Decodes the first picture of a TIFF file straight into the caller's 32-bit rows: QImage::Format_RGB32,
// or Format_ARGB32_Premultiplied when hasAlpha(). Only the layouts scanned maps come in are read here:
// 8 bits a sample, samples side by side, rows top down, in RGB (with or without alpha), grey or a
// palette; readHeader() reports the others as Unsupported, for Qt's reader to convert. The library's
// messages are kept for this file rather than printed, and a file that ends before its picture data
// does is reported as truncated.
class TiffDecoder
{
public:
    enum class Failure { None, NotTiff, Truncated, Damaged, Unsupported, Stopped };

    explicit TiffDecoder(const QString& path);
    ~TiffDecoder();
    TiffDecoder(const TiffDecoder&) = delete;
    TiffDecoder& operator=(const TiffDecoder&) = delete;

    // Reads the first directory. After it, size() is the picture's size in pixels.
    bool readHeader();
    QSize size() const { return m_size; }
    bool hasAlpha() const { return m_alpha; }

    // Decodes the whole picture into rows `stride` bytes apart starting at `rows`. Calls `rowsDone` with
    // the count of finished rows at least every `reportEvery` rows and at the end; when it returns false
    // the decode stops (Failure::Stopped).
    bool decode(uchar* rows, qsizetype stride, int reportEvery,
                const std::function<bool(int rowsDone)>& rowsDone);

    Failure failure() const { return m_failure; }
    QString reason() const { return m_reason; } // the library's own message, for the log

    struct State; // the open file and how its samples become pixels

private:
    bool fail(Failure failure);

    std::unique_ptr<State> m_state;
    QSize m_size;
    bool m_alpha = false;
    Failure m_failure = Failure::None;
    QString m_reason;
};
