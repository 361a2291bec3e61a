#include "gifwriter.h"

#include <QFile>
#include <vector>

namespace
{

// LZW codes go out least significant bit first, packed into sub-blocks of at most 255 bytes.
class CodeWriter
{
public:
    explicit CodeWriter(QByteArray& out) : m_out(out) {}
    void put(int code, int bits)
    {
        m_buffer |= quint32(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            byte(char(m_buffer & 0xff));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }
    void finish()
    {
        if (m_count > 0)
            byte(char(m_buffer & 0xff));
        flushBlock();
        m_out.append('\0'); // end of the image data
    }

private:
    void byte(char b)
    {
        m_block.append(b);
        if (m_block.size() == 255)
            flushBlock();
    }
    void flushBlock()
    {
        if (m_block.isEmpty())
            return;
        m_out.append(char(m_block.size()));
        m_out.append(m_block);
        m_block.clear();
    }
    QByteArray& m_out;
    QByteArray m_block;
    quint32 m_buffer = 0;
    int m_count = 0;
};

void putWord(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

constexpr int MinCodeSize = 8; // 256 colours
constexpr int ClearCode = 1 << MinCodeSize;
constexpr int EndCode = ClearCode + 1;
constexpr int MaxCode = 4095; // 12-bit codes

} // namespace

QByteArray EncodeGif(const QImage& indexed)
{
    if (indexed.format() != QImage::Format_Indexed8 || indexed.isNull())
        return {};
    const int w = indexed.width();
    const int h = indexed.height();
    QByteArray out("GIF89a");
    putWord(out, w);
    putWord(out, h);
    out.append(char(0xf7)); // global colour table of 256 entries, 8 bits per primary
    out.append('\0');       // background colour index
    out.append('\0');       // square pixels
    const QList<QRgb> table = indexed.colorTable();
    for (int k = 0; k < 256; ++k) {
        const QRgb c = k < table.size() ? table[k] : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(',');
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, w);
    putWord(out, h);
    out.append('\0'); // no local table, not interlaced
    out.append(char(MinCodeSize));

    // dictionary[prefix * 256 + pixel] is the code of that string, 0 when it has none yet.
    std::vector<quint16> dictionary(size_t(MaxCode + 1) * 256, 0);
    CodeWriter codes(out);
    int codeSize = MinCodeSize + 1;
    int next = EndCode + 1;
    codes.put(ClearCode, codeSize);
    int prefix = -1;
    for (int y = 0; y < h; ++y) {
        const uchar* row = indexed.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int pixel = row[x];
            if (prefix < 0) {
                prefix = pixel;
                continue;
            }
            quint16& entry = dictionary[size_t(prefix) * 256 + pixel];
            if (entry != 0) {
                prefix = entry;
                continue;
            }
            codes.put(prefix, codeSize);
            entry = quint16(next);
            // The reader widens its codes once its table reaches the next power of two; it adds each
            // entry one code later than this side does.
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
            ++next;
            if (next > MaxCode) {
                codes.put(ClearCode, codeSize);
                std::fill(dictionary.begin(), dictionary.end(), 0);
                codeSize = MinCodeSize + 1;
                next = EndCode + 1;
            }
            prefix = pixel;
        }
    }
    if (prefix >= 0)
        codes.put(prefix, codeSize);
    codes.put(EndCode, codeSize);
    codes.finish();
    out.append(';');
    return out;
}

bool WriteGif(const QImage& indexed, const QString& path, QString* error)
{
    const QByteArray bytes = EncodeGif(indexed);
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("the picture is not an 8-bit indexed one");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
