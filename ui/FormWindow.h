#pragma once
// What both windows do around their logic: its making, start-up and closing,
// each control's action from the shared table, every handler run under the
// guard that shows an escaped error in the error box, and no box once the
// window is closing. Each window adds its controls and how a box is opened.
#include "app/FormView.h"
#include "app/vm_ver32Main.h"
#include "ui/ControlActions.h"
#include "ui/MessageKind.h"

#include <memory>
#include <string>

class FormWindow : public FormView {
public:
    // Shows Message in the standard error box, while anyone is left to read it.
    void ShowError(const std::string &message);

    // FormView
    bool StatusBarExists() const final { return !destroying; }
    void ShowErrorMessage(const std::string &text) final { Box(TMessageKind::ErrorMessage, text); }
    void ShowMessageDialog(const std::string &text) final { Box(TMessageKind::Dialog, text); }

protected:
    // Makes the logic and runs its start-up, once the window's controls exist.
    void StartLogic(TForm1::DirectoryFn ProgramDirectory);
    // The window is being destroyed: the logic goes while the controls still
    // exist, and no status text reaches them after it.
    void EndLogic();
    // The window closes: the logic's closing, then the end of the operation
    // that waits inside a nested loop, so that the program can end.
    void CloseLogic();
    bool Closing() const { return closing; }
    // Runs Action's handler, once the logic exists.
    void Run(const ControlAction &action);
    // Opens a box of Kind with Text as it is to be shown.
    virtual void OpenBox(TMessageKind kind, const std::string &text) = 0;

    std::unique_ptr<TForm1> logic;

private:
    template <class F>
    void Guarded(F &&handler);
    void Box(TMessageKind kind, const std::string &text);

    bool destroying = false;
    bool closing = false;
};
