#pragma once

#include <QFile>
#include <functional>

// A file that tells how far into it a reader has got, for decoders that report no progress of their own:
// they read their file front to back, so the furthest byte read is a fair measure of the work done. It
// can also stop a reader that offers no way to stop it: once `keepGoing` says no, reads fail. And it tells
// when the file was cut short while it was being read, which Qt's readers take for the end of the picture.
class ProgressFile : public QFile
{
public:
    explicit ProgressFile(const QString& name) : QFile(name) {}
    using QFile::open;
    bool open(OpenMode mode) override;
    std::function<void(qint64 furthest, qint64 size)> onRead;
    std::function<bool()> keepGoing;
    // A read met the end of the file before the size it had when opened.
    bool cutShort() const { return m_cutShort; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    qint64 m_furthest = 0;
    qint64 m_openedSize = 0;
    bool m_cutShort = false;
};
