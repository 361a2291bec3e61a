#pragma once

#include "loadlimits.h"
#include "mappicture.h"

#include <QFuture>
#include <QImage>
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
    explicit MapLoader(QObject* parent = nullptr);
    ~MapLoader() override; // abandons a load still running and waits for its threads

    // A load still running is abandoned first. The limit is the machine's as it stands when the load starts.
    void start(const QString& path, LoadLimits limits = LoadLimits::fromMachine());
    bool isRunning() const;

signals:
    void progress(int percent); // 0..100, never backwards
    // Rows [first, end) of `sketch`, a small copy of the map being loaded, are finished and will not
    // change. The sketch shares the loader's memory while other rows are being written: read only the
    // rows reported.
    void sketchRows(QImage sketch, int first, int end);
    void finished(MapPicturePtr picture, QString error); // error empty on success; picture null on failure

private:
    void abandon();

    QFuture<void> m_future;
    std::atomic<bool> m_stop{false};
    int m_generation = 0; // drops signals still queued from an abandoned load
};
