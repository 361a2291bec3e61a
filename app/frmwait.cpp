#include "frmwait.h"

#include "maploader.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

// No parent: the main window may be rebuilt while this window is up.
FrmWait::FrmWait(const QString& path) : QDialog(nullptr), m_path(path)
{
    setObjectName(QStringLiteral("FrmWait"));
    setWindowTitle(QStringLiteral("Mapwheel"));
    setWindowModality(Qt::ApplicationModal);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* image = new QLabel(frame);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(48, 48));
    (new QHBoxLayout(frame))->addWidget(image);

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

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &FrmWait::Timer1_Timer);
    Timer1->start();
    // The progress appears only when the loading is slow enough to need it.
    QTimer::singleShot(500, this, [this] { ProgressBar1->show(); });
}

MapPicturePtr FrmWait::LoadMap(const QString& path, QString* error)
{
    FrmWait wait(path);
    wait.exec();
    if (!wait.m_picture && error)
        *error = wait.m_error;
    return std::move(wait.m_picture);
}

void FrmWait::Timer1_Timer()
{
    Timer1->stop();
    m_loader = new MapLoader(LoadLimits::fromMachine(), this);
    connect(m_loader, &MapLoader::progress, ProgressBar1,
            [this](int percent) { ProgressBar1->setValue(std::max(ProgressBar1->value(), percent)); });
    connect(m_loader, &MapLoader::finished, this, &FrmWait::loaded);
    m_loader->start(m_path);
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
