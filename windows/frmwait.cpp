#include "frmwait.h"

#include "maploader.h"
#include "picturepainter.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QRegion>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

// The map as far as it has been decoded, fitted into the window's picture: band by band as the loader
// finishes them, over the wait icon's place. Only the rows the loader has reported are read.
class MapSketch : public QWidget
{
public:
    explicit MapSketch(QWidget* parent) : QWidget(parent)
    {
        setFixedSize(240, 170);
        m_icon = style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(48, 48);
        m_frame.setSingleShot(true);
        m_frame.setInterval(frameMs);
        connect(&m_frame, &QTimer::timeout, this, [this] {
            if (m_dirty.isEmpty())
                return;
            update(m_dirty);
            m_dirty = QRegion();
            m_frame.start();
        });
    }

    void addRows(const QImage& sketch, int first, int end)
    {
        if (sketch.cacheKey() != m_sketch.cacheKey()) { // a new copy: what was shown came from another
            m_sketch = sketch;
            m_ready = QRegion();
        }
        const bool firstRows = m_ready.isEmpty();
        m_ready += QRect(0, first, sketch.width(), end - first);
        const QRect place =
            placeOf(QRect(0, first, sketch.width(), end - first)).toAlignedRect().adjusted(-1, -1, 1, 1);
        // The first rows at once, the rest at most once a frame: a band can take under a millisecond, and
        // every repaint costs the X server and this thread time the decoding needs on a small machine.
        if (firstRows || !m_frame.isActive()) {
            update(firstRows ? rect() : place); // the icon gives way to the map's outline
            m_frame.start();
        } else {
            m_dirty += place;
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (m_ready.isEmpty()) {
            p.drawPixmap((width() - m_icon.width() / int(m_icon.devicePixelRatio())) / 2,
                         (height() - m_icon.height() / int(m_icon.devicePixelRatio())) / 2, m_icon);
            return;
        }
        // Where the rest of the map will come: an empty sheet.
        const QRectF sheet = placeOf(m_sketch.rect());
        p.fillRect(sheet, palette().base());
        p.setPen(palette().mid().color());
        p.drawRect(sheet.adjusted(0, 0, -1, -1));
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const qsizetype bpl = m_sketch.bytesPerLine();
        for (const QRect& r : m_ready) {
            const QImage rows(m_sketch.constBits() + qsizetype(r.top()) * bpl, m_sketch.width(), r.height(),
                              bpl, m_sketch.format());
            p.drawImage(placeOf(r), rows);
        }
    }

private:
    QRectF placeOf(const QRect& r) const { return PicturePainter::fittedPart(size(), m_sketch.size(), r); }

    QPixmap m_icon;
    QImage m_sketch;
    QRegion m_ready; // rows of m_sketch finished, in its own pixels
    static constexpr int frameMs = 40;
    QTimer m_frame;  // runs for a frame after each repaint asked for
    QRegion m_dirty; // finished meanwhile, in this widget's pixels
};

} // namespace

// No parent: the main window may be rebuilt while this window is up.
FrmWait::FrmWait(MapLoader& loader) : QDialog(nullptr)
{
    setObjectName(QStringLiteral("FrmWait"));
    setWindowTitle(QStringLiteral("Mapwheel"));
    setWindowModality(Qt::ApplicationModal);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    Image1 = new MapSketch(frame);
    Image1->setObjectName(QStringLiteral("Image1"));
    (new QHBoxLayout(frame))->addWidget(Image1);

    Label1 = new QLabel(QStringLiteral("Map is Loading..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f1(QStringLiteral("MS Sans Serif"), 12);
    f1.setStyleHint(QFont::SansSerif);
    Label1->setFont(f1);
    Label2 = new QLabel(QStringLiteral("Please Wait!"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont f2(QStringLiteral("MS Sans Serif"), 18);
    f2.setStyleHint(QFont::SansSerif);
    Label2->setFont(f2);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(QStringLiteral("Loading progress"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->hide();

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addWidget(ProgressBar1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(texts);

    connect(&loader, &MapLoader::progress, ProgressBar1,
            [this](int percent) { ProgressBar1->setValue(std::max(ProgressBar1->value(), percent)); });
    connect(&loader, &MapLoader::sketchRows, Image1, [this](const QImage& sketch, int first, int end) {
        static_cast<MapSketch*>(Image1)->addRows(sketch, first, end);
    });
    connect(&loader, &MapLoader::finished, this, &FrmWait::loaded);
    // The progress appears only when the loading is slow enough to need it.
    QTimer::singleShot(500, this, [this] { ProgressBar1->show(); });
}

MapPicturePtr FrmWait::ShowWhile(MapLoader& loader, QString* error)
{
    FrmWait wait(loader);
    wait.exec();
    if (!wait.m_picture && error)
        *error = wait.m_error;
    return std::move(wait.m_picture);
}

void FrmWait::reject()
{
    if (m_done)
        QDialog::reject();
}

void FrmWait::loaded(MapPicturePtr picture, const QString& error)
{
    m_done = true;
    m_picture = std::move(picture);
    if (!m_picture)
        m_error = error;
    done(m_picture ? QDialog::Accepted : QDialog::Rejected);
}
