#include "qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>

void QtMessageBoxes::show(const QString& title, const QString& text, MessageIcon icon)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    // A carriage return starts a new line on screen.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
