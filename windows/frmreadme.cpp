#include "frmreadme.h"

#include "readmetext.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

FrmReadMe::FrmReadMe(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmReadMe"));
    setWindowTitle(QStringLiteral("Readme.Txt"));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Readme.Txt"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap); // the incline table keeps its columns
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(QStringLiteral("Courier New"), 9);
    courier.setStyleHint(QFont::TypeWriter); // any fixed-pitch font where Courier New is missing
    courier.setFixedPitch(true);
    Text1->setFont(courier);
    Text1->setPlainText(ReadMeText());

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &FrmReadMe::Command1_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addLayout(buttons);

    // Wide enough for the 72-column text and the scroll bar.
    const int columns = Text1->fontMetrics().horizontalAdvance(QString(76, QLatin1Char('M')));
    resize(columns + 40, 480);
}

void FrmReadMe::Command1_Click()
{
    accept();
}
