#pragma once

#include "loadlimits.h"
#include "mappicture.h"

#include <QFuture>
#include <QObject>
#include <QString>
#include <atomic>

// Opens map pictures off the user-interface thread. start() returns at once; the decoding runs on worker
// threads and the results arrive as queued signals on the loader's own thread, so nothing heavy ever
// runs in a slot there: the finished picture is handed over by pointer.
class MapLoader : public QObject
{
    Q_OBJECT
public:
    explicit MapLoader(LoadLimits limits = LoadLimits::fromMachine(), QObject* parent = nullptr);
    ~MapLoader() override; // abandons a load still running and waits for its threads

    void start(const QString& path); // a load still running is abandoned first
    bool isRunning() const;
    // JPEG maps of at least this many pixels send preview(), from a reduced decode, before finished().
    // The reduced decode costs two thirds of a full one (the compressed data must all be unpacked
    // either way), so by default only machines with a core to spare for it make one.
    void setPreviewFromPixels(qint64 pixels) { m_previewFromPixels = pixels; }
    static constexpr qint64 previewWorthFromPixels = 16'000'000; // about an A4 sheet at 400 dpi

    static MapPicturePtr loadBlocking(const QString& path, QString* error,
                                      LoadLimits limits = LoadLimits::fromMachine());

signals:
    void progress(int percent); // 0..100, never backwards
    void preview(MapPicturePtr reduced);
    void finished(MapPicturePtr picture, QString error); // error empty on success; picture null on failure

private:
    void abandon();

    LoadLimits m_limits;
    QFuture<void> m_future;
    std::atomic<bool> m_stop{false};
    int m_generation = 0; // drops signals still queued from an abandoned load
    qint64 m_previewFromPixels;
};
