#include "tiffdecoder.h"

#include <QFile>
#include <QRgb>

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include <tiffio.h>

struct TiffDecoder::State {
    enum class Layout { Rgb, RgbaPremultiplied, RgbaStraight, Grey, GreyInverted, Palette };

    QString path;
    TIFF* tif = nullptr;
    Layout layout = Layout::Rgb;
    int samples = 3;
    std::array<QRgb, 256> palette{};
    QString message; // the first error the library reported, or else its first warning
    bool error = false;

    // Turns `count` pixels of the file's samples into 32-bit pixels.
    void convert(const uchar* in, int count, QRgb* out) const
    {
        switch (layout) {
        case Layout::Rgb:
            for (int i = 0; i < count; ++i, in += 3)
                out[i] = 0xff000000u | uint(in[0]) << 16 | uint(in[1]) << 8 | in[2];
            break;
        case Layout::RgbaPremultiplied:
            for (int i = 0; i < count; ++i, in += samples)
                out[i] = qRgba(in[0], in[1], in[2], in[3]);
            break;
        case Layout::RgbaStraight:
            for (int i = 0; i < count; ++i, in += samples)
                out[i] = qPremultiply(qRgba(in[0], in[1], in[2], in[3]));
            break;
        case Layout::Grey:
            for (int i = 0; i < count; ++i)
                out[i] = 0xff000000u | uint(in[i]) * 0x010101u;
            break;
        case Layout::GreyInverted:
            for (int i = 0; i < count; ++i)
                out[i] = 0xff000000u | uint(255 - in[i]) * 0x010101u;
            break;
        case Layout::Palette:
            for (int i = 0; i < count; ++i)
                out[i] = palette[in[i]];
            break;
        }
    }
};

namespace
{

// Keeps the library's messages with the file they are about instead of printing them. Returning non-zero
// keeps them from the process-wide handlers too, which Qt's own TIFF reader may have replaced meanwhile.
int keepMessage(TIFF*, void* user, const char* module, const char* format, va_list args, bool error)
{
    auto* s = static_cast<TiffDecoder::State*>(user);
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (s->message.isEmpty() || (error && !s->error))
        s->message = QString::fromLocal8Bit(module ? module : "TIFF") + QStringLiteral(": ") +
                     QString::fromLocal8Bit(text);
    s->error = s->error || error;
    return 1;
}

int onError(TIFF* tif, void* user, const char* module, const char* format, va_list args)
{
    return keepMessage(tif, user, module, format, args, true);
}

int onWarning(TIFF* tif, void* user, const char* module, const char* format, va_list args)
{
    return keepMessage(tif, user, module, format, args, false);
}

// Whether the file ends before its first directory does: the library then only says it cannot read it,
// but a file cut short is worth telling from one that is not a TIFF at all. The directory usually comes
// after the picture data, so this is what a partly copied file looks like.
bool directoryCut(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(16);
    if (head.size() < 8)
        return true;
    const bool little = head.startsWith("II");
    auto number = [little](const char* at, int bytes) {
        quint64 v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= quint64(uchar(at[little ? i : bytes - 1 - i])) << (8 * i);
        return v;
    };
    const bool big = number(head.constData() + 2, 2) == 43;
    if (big && head.size() < 16)
        return true;
    const quint64 offset = big ? number(head.constData() + 8, 8) : number(head.constData() + 4, 4);
    const int countBytes = big ? 8 : 2, entryBytes = big ? 20 : 12;
    const quint64 size = quint64(file.size());
    if (offset + countBytes > size)
        return true;
    file.seek(qint64(offset));
    const QByteArray count = file.read(countBytes);
    return count.size() < countBytes ||
           offset + countBytes + number(count.constData(), countBytes) * entryBytes > size;
}

} // namespace

TiffDecoder::TiffDecoder(const QString& path) : m_state(std::make_unique<State>())
{
    m_state->path = path;
}

TiffDecoder::~TiffDecoder()
{
    if (m_state->tif)
        TIFFClose(m_state->tif);
}

bool TiffDecoder::fail(Failure failure)
{
    m_failure = failure;
    m_reason = m_state->message;
    return false;
}

bool TiffDecoder::readHeader()
{
    State& s = *m_state;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &s);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &s);
    // Read, not mapped: a mapped file's pages count towards the process's memory for as long as it is
    // open, the size of the whole file on top of the picture.
    s.tif = TIFFOpenExt(QFile::encodeName(s.path).constData(), "rm", options);
    TIFFOpenOptionsFree(options);
    if (!s.tif)
        return fail(directoryCut(s.path) ? Failure::Truncated : Failure::NotTiff);

    TIFF* tif = s.tif;
    uint32_t width = 0, height = 0;
    uint16_t bits = 0, samples = 0, photometric = 0, planar = 0, orientation = 0, format = 0, compression = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height) ||
        width == 0 || height == 0 || width > 1u << 28 || height > 1u << 28)
        return fail(Failure::Damaged);
    m_size = QSize(int(width), int(height));
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    const bool photometricGiven = TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    // JPEG-in-TIFF comes in YCbCr and old-style variants best left to Qt's reader, as are codecs this
    // build of the library lacks.
    if (!photometricGiven || bits != 8 || format != SAMPLEFORMAT_UINT || orientation != ORIENTATION_TOPLEFT ||
        (samples > 1 && planar != PLANARCONFIG_CONTIG) || compression == COMPRESSION_JPEG ||
        compression == COMPRESSION_OJPEG || !TIFFIsCODECConfigured(compression))
        return fail(Failure::Unsupported);

    s.samples = samples;
    using Layout = State::Layout;
    if (photometric == PHOTOMETRIC_RGB && samples == 3) {
        s.layout = Layout::Rgb;
    } else if (photometric == PHOTOMETRIC_RGB && samples == 4) {
        uint16_t extra = 0;
        uint16_t* kinds = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extra, &kinds) || extra != 1)
            return fail(Failure::Unsupported);
        if (kinds[0] == EXTRASAMPLE_ASSOCALPHA)
            s.layout = Layout::RgbaPremultiplied;
        else if (kinds[0] == EXTRASAMPLE_UNASSALPHA)
            s.layout = Layout::RgbaStraight;
        else
            return fail(Failure::Unsupported);
        m_alpha = true;
    } else if (photometric == PHOTOMETRIC_MINISBLACK && samples == 1) {
        s.layout = Layout::Grey;
    } else if (photometric == PHOTOMETRIC_MINISWHITE && samples == 1) {
        s.layout = Layout::GreyInverted;
    } else if (photometric == PHOTOMETRIC_PALETTE && samples == 1) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
            return fail(Failure::Damaged);
        // Colour maps are 16 bits an entry; some writers put 8-bit values in them all the same.
        bool eightBit = true;
        for (int i = 0; i < 256; ++i)
            eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        const int shift = eightBit ? 0 : 8;
        for (int i = 0; i < 256; ++i)
            s.palette[size_t(i)] = qRgb(red[i] >> shift, green[i] >> shift, blue[i] >> shift);
        s.layout = Layout::Palette;
    } else {
        return fail(Failure::Unsupported);
    }

    // The picture data must all be in the file; otherwise the picture would come out partly blank.
    const quint64 fileSize = quint64(QFile(s.path).size());
    const uint32_t pieces = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    for (uint32_t i = 0; i < pieces; ++i)
        if (TIFFGetStrileOffset(tif, i) + TIFFGetStrileByteCount(tif, i) > fileSize)
            return fail(Failure::Truncated);
    // The directory was read, but not without complaint: Qt's reader may make more of it.
    if (s.error)
        return fail(Failure::Unsupported);
    return true;
}

bool TiffDecoder::decode(uchar* rows, qsizetype stride, int reportEvery,
                         const std::function<bool(int)>& rowsDone)
{
    State& s = *m_state;
    if (!s.tif || m_size.isEmpty())
        return false;
    TIFF* tif = s.tif;
    const int width = m_size.width(), height = m_size.height();
    // Strips are read a row at a time into a buffer that stays in the cache (scanners' strips run to
    // megabytes), tiles a row of tiles at a time.
    const bool tiled = TIFFIsTiled(tif);
    uint32_t pieceWidth = uint32_t(width), pieceRows = 1;
    if (tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &pieceWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &pieceRows);
    }
    const tmsize_t rowBytes = tiled ? TIFFTileRowSize(tif) : TIFFScanlineSize(tif);
    if (pieceWidth == 0 || pieceRows == 0 || rowBytes <= 0)
        return fail(Failure::Unsupported);
    // Tiles stick out of the picture up to a multiple of 16, and a small picture may come in tiles of a
    // common size larger than itself; tiles larger than both are a damaged header, whose one row of tiles
    // could ask for gigabytes.
    auto plausible = [](uint32_t tile, int side) {
        return tile <= std::max(8192u, (uint32_t(side) + 15) / 16 * 16);
    };
    if (tiled && (!plausible(pieceWidth, width) || !plausible(pieceRows, height)))
        return fail(Failure::Damaged);
    std::vector<uchar> buffer(size_t(rowBytes) * pieceRows);

    int nextReport = std::min(reportEvery, height);
    for (int y = 0; y < height; y += int(pieceRows)) {
        const int count = std::min(int(pieceRows), height - y);
        for (int x = 0; x < width; x += int(pieceWidth)) {
            const bool read =
                tiled ? TIFFReadEncodedTile(tif, TIFFComputeTile(tif, uint32_t(x), uint32_t(y), 0, 0),
                                            buffer.data(), tmsize_t(buffer.size())) == tmsize_t(buffer.size())
                      : TIFFReadScanline(tif, buffer.data(), uint32_t(y), 0) == 1;
            if (!read || s.error)
                return fail(Failure::Damaged);
            const int across = std::min(int(pieceWidth), width - x);
            for (int r = 0; r < count; ++r)
                s.convert(buffer.data() + r * rowBytes, across,
                          reinterpret_cast<QRgb*>(rows + (y + r) * stride) + x);
        }
        const int done = y + count;
        if (done >= nextReport) {
            if (rowsDone && !rowsDone(done))
                return fail(Failure::Stopped);
            nextReport = std::min(height, (done / reportEvery + 1) * reportEvery);
        }
    }
    return true;
}
