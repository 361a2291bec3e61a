#include "progressfile.h"

qint64 ProgressFile::readData(char* data, qint64 maxSize)
{
    if (keepGoing && !keepGoing())
        return -1;
    const qint64 at = pos();
    const qint64 n = QFile::readData(data, maxSize);
    if (n > 0 && at + n > m_furthest) {
        m_furthest = at + n;
        if (onRead)
            onRead(m_furthest, size());
    }
    return n;
}
