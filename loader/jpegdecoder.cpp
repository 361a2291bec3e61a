#include "jpegdecoder.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "JCS_EXT_BGRA matches QImage::Format_RGB32 on little-endian only");

struct JpegDecoder::State {
    jpeg_decompress_struct info{};
    struct Errors {
        jpeg_error_mgr mgr{};
        std::jmp_buf jump{};
        JpegDecoder::Failure failure = JpegDecoder::Failure::None;
        bool endOfFile = false; // the file ran out; the library pads what it reads ahead
        bool dataShort = false; // the decoder needed data that was not there
        char message[JMSG_LENGTH_MAX] = {};
    } errors;
    std::FILE* file = nullptr;
    bool created = false;
    bool headerRead = false;
};

namespace
{

void errorExit(j_common_ptr info)
{
    auto* e = reinterpret_cast<JpegDecoder::State::Errors*>(info->err);
    (*info->err->format_message)(info, e->message);
    if (e->failure == JpegDecoder::Failure::None)
        e->failure = JpegDecoder::Failure::Damaged;
    std::longjmp(e->jump, 1);
}

void emitMessage(j_common_ptr info, int level)
{
    auto* e = reinterpret_cast<JpegDecoder::State::Errors*>(info->err);
    if (level != -1) // not a warning
        return;
    // The library reads ahead, so running out of file is harmless while the data it pads never gets
    // used (a file that lacks only its end marker). Once it does get used, or the file ends inside the
    // headers, the rest of the picture would be made up: stop there rather than hand the user a
    // half-grey map.
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (info->err->msg_code == JWRN_JPEG_EOF)
        e->endOfFile = true;
    else if (info->err->msg_code == JWRN_HIT_MARKER)
        e->dataShort = true;
    if (e->endOfFile && (e->dataShort || d->output_height == 0)) {
        e->failure = JpegDecoder::Failure::Truncated;
        (*info->err->format_message)(info, e->message);
        std::longjmp(e->jump, 1);
    }
}

void silent(j_common_ptr) {}

} // namespace

JpegDecoder::JpegDecoder(const QString& path) : m_state(std::make_unique<State>())
{
    State& s = *m_state;
    s.file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!s.file) {
        m_failure = Failure::NotJpeg;
        return;
    }
    std::setvbuf(s.file, nullptr, _IOFBF, 256 * 1024);
    s.info.err = jpeg_std_error(&s.errors.mgr);
    s.errors.mgr.error_exit = errorExit;
    s.errors.mgr.emit_message = emitMessage;
    s.errors.mgr.output_message = silent;
    if (setjmp(s.errors.jump)) {
        m_failure = s.errors.failure;
        return;
    }
    jpeg_create_decompress(&s.info);
    s.created = true;
    jpeg_stdio_src(&s.info, s.file);
}

JpegDecoder::~JpegDecoder()
{
    if (m_state->created)
        jpeg_destroy_decompress(&m_state->info);
    if (m_state->file)
        std::fclose(m_state->file);
}

bool JpegDecoder::readHeader()
{
    State& s = *m_state;
    if (!s.created)
        return false;
    if (setjmp(s.errors.jump)) {
        m_failure = s.errors.failure == Failure::Truncated ? Failure::Truncated : Failure::NotJpeg;
        m_reason = QString::fromLatin1(s.errors.message);
        return false;
    }
    if (jpeg_read_header(&s.info, TRUE) != JPEG_HEADER_OK) {
        m_failure = Failure::NotJpeg;
        return false;
    }
    s.headerRead = true;
    m_size = QSize(int(s.info.image_width), int(s.info.image_height));
    switch (s.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        return true;
    default: // CMYK and YCCK have no direct conversion to 32-bit RGB here
        m_failure = Failure::Unsupported;
        return false;
    }
}

QSize JpegDecoder::scaledSize(int denominator) const
{
    return QSize((m_size.width() + denominator - 1) / denominator,
                 (m_size.height() + denominator - 1) / denominator);
}

bool JpegDecoder::decode(uchar* rows, qsizetype stride, int denominator, int reportEvery,
                         const std::function<bool(int)>& rowsDone)
{
    State& s = *m_state;
    if (!s.headerRead)
        return false;
    jpeg_decompress_struct& info = s.info;
    if (setjmp(s.errors.jump)) {
        m_failure = s.errors.failure;
        m_reason = QString::fromLatin1(s.errors.message);
        jpeg_abort_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRA; // alpha written as 255, which Format_RGB32 requires
    info.scale_num = 1;
    info.scale_denom = unsigned(denominator);
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    jpeg_start_decompress(&info);
    const int height = int(info.output_height);
    int nextReport = std::min(reportEvery, height);
    JSAMPROW batch[16];
    while (int(info.output_scanline) < height) {
        const int first = int(info.output_scanline);
        const int count = std::min(16, height - first);
        for (int i = 0; i < count; ++i)
            batch[i] = rows + (first + i) * stride;
        jpeg_read_scanlines(&info, batch, JDIMENSION(count));
        const int done = int(info.output_scanline);
        if (done >= nextReport) {
            if (rowsDone && !rowsDone(done)) {
                m_failure = Failure::Stopped;
                jpeg_abort_decompress(&info);
                return false;
            }
            nextReport = std::min(height, (done / reportEvery + 1) * reportEvery);
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}
