#include "frmsplash.h"

#include "maker.h"
#include "shellpictures.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace
{
const QColor Background(0x1d, 0x3a, 0x8a);  // deep blue
const QColor VersionText(0x9c, 0xcc, 0xff); // light blue, readable on the background
const QSize ArtworkSize(320, 200);          // device-independent pixels
const QSize LogoSize(64, 64);
} // namespace

frmSplash::frmSplash(const QString& AppVersion, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Mapwheel"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Background);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setAutoFillBackground(true);
    Frame1->setPalette(pal);
    Image1 = new QLabel(Frame1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("A walking map with a traced route"));
    const qreal dpr = devicePixelRatioF();
    Image1->setPixmap(ShellPixmap(ShellPictures::Splash, ArtworkSize, dpr));
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->setContentsMargins(4, 4, 4, 4);
    frameLayout->addWidget(Image1);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setAccessibleName(QStringLiteral("Mapwheel logo"));
    imgLogo->setPixmap(ShellPixmap(ShellPictures::Logo, LogoSize, dpr));

    QFont bold(QStringLiteral("Arial"));
    bold.setBold(true);
    lblProductName = new QLabel(QStringLiteral("Mapwheel"), this);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont title = bold;
    title.setPointSize(22);
    lblProductName->setFont(title);

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    bold.setPointSize(12);
    lblVersion->setFont(bold);
    QPalette versionPal = pal;
    versionPal.setColor(QPalette::WindowText, VersionText);
    lblVersion->setPalette(versionPal);

    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    bold.setPointSize(9);
    lblCopyright->setFont(bold);

    auto* heading = new QHBoxLayout;
    heading->addWidget(imgLogo);
    auto* names = new QVBoxLayout;
    names->addWidget(lblProductName);
    names->addWidget(lblVersion);
    heading->addLayout(names);
    heading->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(heading);
    layout->addWidget(Frame1);
    layout->addWidget(lblCopyright);

    Form_Load(AppVersion);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setSingleShot(true);
    Timer1.setInterval(SplashMilliseconds);
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1.start();
}

void frmSplash::Form_Load(const QString& AppVersion)
{
    lblVersion->setText(QStringLiteral("Version ") + AppVersion);
    lblCopyright->setText(QString::fromUtf8(Maker::CopyrightLine));
}

void frmSplash::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

void frmSplash::reject() {}

void frmSplash::Timer1_Timer()
{
    Timer1.stop();
    done(QDialog::Accepted);
    emit closed();
}
