#include "ui/FormWindow.h"

#include "platform/Exception.h"

void FormWindow::ShowError(const std::string &message) { Box(TMessageKind::ErrorBox, message); }

void FormWindow::StartLogic(TForm1::DirectoryFn ProgramDirectory)
{
    logic = std::make_unique<TForm1>(*this, std::move(ProgramDirectory));
    Guarded([this] { logic->FormCreate(); });
}

void FormWindow::EndLogic()
{
    destroying = true;
    logic.reset();
}

void FormWindow::CloseLogic()
{
    Guarded([this] { logic->FormClose(); });
    // No box may follow the window.
    closing = true;
    logic->CancelRunningOperation();
}

void FormWindow::Run(const ControlAction &action)
{
    if (logic)
        Guarded([this, &action] { (*logic.*action.handler)(); });
}

template <class F>
void FormWindow::Guarded(F &&handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        ShowError(MessageOf(error));
    }
}

void FormWindow::Box(TMessageKind kind, const std::string &text)
{
    // An operation cancelled by closing the window ends with its error;
    // nobody is left to read it.
    if (!closing)
        OpenBox(kind, text);
}
