#include "frmabout.h"

#include "maker.h"
#include "shellpictures.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FrmAbout::FrmAbout(const QString& AppVersion, QWidget* parent) : QDialog(parent), m_appVersion(AppVersion)
{
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("About Mapwheel"));

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    const qreal dpr = devicePixelRatioF();
    Image1 = new QLabel(Frame1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Mapwheel logo"));
    Image1->setPixmap(ShellPixmap(ShellPictures::Logo, QSize(64, 64), dpr));
    Image2 = new QLabel(Frame1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setAccessibleName(QStringLiteral("A walking map with a traced route"));
    Image2->setPixmap(ShellPixmap(ShellPictures::Splash, QSize(160, 100), dpr));
    lblProductName = new QLabel(QStringLiteral("Mapwheel"), Frame1);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont title = lblProductName->font();
    title.setPointSize(title.pointSize() + 8);
    title.setBold(true);
    lblProductName->setFont(title);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QString::fromUtf8(Maker::CopyrightLine), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4 = new QLabel(QString::fromUtf8(Maker::WebAddress), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    QPalette blue = Label4->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 0xcc));
    Label4->setPalette(blue);
    Label1 = new QLabel(QString::fromUtf8(Maker::EMailAddress), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    for (QLabel* l : {Label1, Label3, Label4})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &FrmAbout::Command1_Click);

    auto* frameLayout = new QHBoxLayout(Frame1);
    frameLayout->addWidget(Image1);
    frameLayout->addWidget(lblProductName, 1);
    frameLayout->addWidget(Image2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addWidget(Label4);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
}

void FrmAbout::Form_activate()
{
    Label2->setText(QStringLiteral("Version ") + m_appVersion);
}

void FrmAbout::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_activate();
}

void FrmAbout::showEvent(QShowEvent* event)
{
    // Also on showing, so the line is never blank on a desktop that does not activate new windows.
    Form_activate();
    QDialog::showEvent(event);
}

void FrmAbout::Command1_Click()
{
    accept();
    if (QWidget* main = parentWidget()) {
        main->show();
        main->raise();
        main->activateWindow();
    }
}
