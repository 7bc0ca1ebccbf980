#pragma once
// Every message box the program shows goes through here, so that a test can
// watch them in order without a modal loop stopping it.
#include <QString>

class QWidget;

enum class TMessageKind {
    ErrorMessage, // the program's own "Błąd" box: OK, no icon
    Dialog,       // the plain message dialog: OK, no icon, application title
    ErrorBox,     // the standard error box for an error no handler caught: error icon
};

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
