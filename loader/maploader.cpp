#include "maploader.h"

#include "loadjob.h"

#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>
#include <limits>

namespace
{

// Qt's readers refuse pictures above a fixed cap of their own (128 MB by default), which knows nothing of
// this machine; the loader checks every picture against its own limit before a reader sees it. The cap
// is one for the whole process, so it is raised here, on the caller's thread, and never lowered.
void raiseQtCap(const LoadLimits& limits)
{
    const qint64 mb = limits.maxPictureBytes / (1024 * 1024) + 1;
    const int current = QImageReader::allocationLimit();
    if (current != 0 && current < mb)
        QImageReader::setAllocationLimit(int(std::min<qint64>(mb, std::numeric_limits<int>::max())));
}

} // namespace

MapLoader::MapLoader(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<MapPicturePtr>("MapPicturePtr");
}

MapLoader::~MapLoader()
{
    abandon();
}

void MapLoader::abandon()
{
    if (m_future.isRunning()) {
        m_stop = true;
        m_future.waitForFinished();
    }
    m_stop = false;
    ++m_generation;
}

bool MapLoader::isRunning() const
{
    return m_future.isRunning();
}

void MapLoader::start(const QString& path, LoadLimits limits)
{
    abandon();
    raiseQtCap(limits);
    const int generation = m_generation;
    // Everything posted back is checked against the generation, so a load abandoned by a newer one
    // cannot deliver late signals.
    auto post = [this, generation](auto call) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, call] {
                if (generation == m_generation)
                    call();
            },
            Qt::QueuedConnection);
    };
    m_future = QtConcurrent::run([this, path, limits, post] {
        LoadJob::Hooks hooks;
        hooks.stop = &m_stop;
        hooks.progress = [this, post](int percent) { post([this, percent] { emit progress(percent); }); };
        hooks.sketchRows = [this, post](const QImage& sketch, int first, int end) {
            post([this, sketch, first, end] { emit sketchRows(sketch, first, end); });
        };
        QString error;
        MapPicturePtr picture = LoadJob::run(path, limits, hooks, &error);
        if (m_stop)
            return;
        post([this, picture, error] { emit finished(picture, error); });
    });
}
