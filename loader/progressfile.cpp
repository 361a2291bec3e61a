#include "progressfile.h"

bool ProgressFile::open(OpenMode mode)
{
    const bool opened = QFile::open(mode);
    m_openedSize = opened ? size() : 0;
    return opened;
}

qint64 ProgressFile::readData(char* data, qint64 maxSize)
{
    if (keepGoing && !keepGoing())
        return -1;
    const qint64 at = pos();
    const qint64 n = QFile::readData(data, maxSize);
    // A read comes back short only at the end of the file; the size is looked at again only then.
    if (n >= 0 && n < maxSize && size() < m_openedSize)
        m_cutShort = true;
    if (n > 0 && at + n > m_furthest) {
        m_furthest = at + n;
        if (onRead)
            onRead(m_furthest, size());
    }
    return n;
}
