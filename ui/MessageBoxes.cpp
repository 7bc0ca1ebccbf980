#include "ui/MessageBoxes.h"

#include <QMessageBox>

void ModalMessageBoxes::Show(QWidget *owner, TMessageKind kind, const QString &caption, const QString &text)
{
    const auto icon = kind == TMessageKind::ErrorBox ? QMessageBox::Critical : QMessageBox::NoIcon;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}
