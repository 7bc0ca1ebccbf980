#pragma once
// Every message box the program shows goes through here, so that a test can
// watch them in order without a modal loop stopping it.
#include "ui/MessageKind.h"

#include <QString>

class QWidget;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Show(QWidget *owner, TMessageKind kind, const QString &caption, const QString &text) = 0;
};

// Real modal boxes.
class ModalMessageBoxes : public MessageBoxes {
public:
    void Show(QWidget *owner, TMessageKind kind, const QString &caption, const QString &text) override;
};
