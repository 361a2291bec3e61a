#include "maploader.h"

#include "loadjob.h"

#include <QtConcurrent/QtConcurrentRun>

MapLoader::MapLoader(LoadLimits limits, QObject* parent) : QObject(parent), m_limits(limits)
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

void MapLoader::start(const QString& path)
{
    abandon();
    const int generation = m_generation;
    const LoadLimits limits = m_limits;
    const qint64 previewFrom = m_previewFromPixels;
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
    m_future = QtConcurrent::run([this, path, limits, previewFrom, post] {
        LoadJob::Hooks hooks;
        hooks.stop = &m_stop;
        hooks.progress = [this, post](int percent) { post([this, percent] { emit progress(percent); }); };
        hooks.previewFromPixels = previewFrom;
        hooks.preview = [this, post](MapPicturePtr reduced) {
            post([this, reduced] { emit preview(reduced); });
        };
        QString error;
        MapPicturePtr picture = LoadJob::run(path, limits, hooks, &error);
        if (m_stop)
            return;
        post([this, picture, error] { emit finished(picture, error); });
    });
}

MapPicturePtr MapLoader::loadBlocking(const QString& path, QString* error, LoadLimits limits)
{
    return LoadJob::run(path, limits, LoadJob::Hooks{}, error);
}
