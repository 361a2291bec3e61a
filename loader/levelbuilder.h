#pragma once

#include <QImage>
#include <mutex>
#include <utility>
#include <vector>

// Builds the shrunk copies of a picture band by band, so that the bands the decoder has finished can be
// shrunk on another core while it goes on. A band is a run of full-size rows whose count is a power of
// two at least as large as 2 to the number of halvings: each band's rows in every copy then come from that
// band alone, and the copies come out exactly as halving the whole picture again and again would. The
// half-size step is made one band at a time in a small buffer and not kept.
class LevelBuilder
{
public:
    explicit LevelBuilder(const QImage& full); // allocates the copies; see isNull()
    // For a picture that `full` will hold, of `size` in `format`, once a decoder has filled it in.
    LevelBuilder(const QImage& full, QSize size, QImage::Format format);

    bool isNull() const { return m_failed; } // the memory for the copies could not be had
    int bandRows() const { return m_bandRows; }
    int bandCount() const;
    // Full-size rows that band `band` needs decoded before it can be shrunk: [0, end).
    int bandEnd(int band) const;
    // The rows [first, end) of copy `level` that shrinking band `band` fills.
    std::pair<int, int> levelRows(size_t level, int band) const;

    // Fills band `band` of every copy. Different bands may be shrunk on different threads at once.
    void shrinkBand(int band);

    const std::vector<QImage>& levels() const { return m_levels; }
    std::vector<QImage> takeLevels() { return std::move(m_levels); }

private:
    struct Rows {
        uchar* bits;
        qsizetype stride;
        int width;
        int height;
    };
    const QImage& m_full;
    QSize m_half; // the size of the half-size step
    std::vector<QImage> m_levels;
    std::vector<Rows> m_rows; // raw rows of m_levels, taken once so that threads never touch the QImages
    // Half-size buffers not in use, one for each thread that has shrunk bands at once (two at most), kept
    // for the builder's life: they go with the load, not with the threads, which may outlive it a moment.
    std::vector<std::vector<quint32>> m_spareHalves;
    std::mutex m_spareMutex;
    int m_bandRows = 1;
    bool m_failed = false;
};
