#include "ui/MessageBoxesLinux.h"

#include <QMessageBox>

void ModalMessageBoxes::Show(QWidget *owner, TMessageKind kind, const QString &caption, const QString &text)
{
    const auto icon = MessageIcon(kind) == TMessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
    // A window not yet on the screen would place the box at its own corner;
    // without one the box stands in the middle of the screen.
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner && owner->isVisible() ? owner : nullptr);
    // Server replies and file contents are shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}
