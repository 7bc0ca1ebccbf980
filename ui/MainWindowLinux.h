#pragma once
// The main window: the Designer form with the shared captions and hints, the
// FormView its logic talks to, and the wiring of the shared table of control
// actions to the logic's handlers, each run under the error box's guard.
#include "app/FormView.h"
#include "app/vm_ver32Main.h"
#include "ui/Control.h"
#include "ui/MessageKind.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class MainWindowForm;
}
class MessageBoxes;

class MainWindow : public QMainWindow, public FormView {
    Q_OBJECT
public:
    // Builds the window and runs the logic's start-up; Boxes shows every message.
    MainWindow(MessageBoxes &Boxes, TForm1::DirectoryFn ProgramDirectory);
    ~MainWindow() override;

    TForm1 &Logic() { return *logic; }

    // FormView
    void SetCaption(const std::string &caption) override;
    void ShowNewsPage() override;
    std::string FieldText(TField field) const override;
    void SetFieldText(TField field, const std::string &text) override;
    bool ProxyChecked() const override;
    void SetProxyChecked(bool checked) override;
    void SetProxyFieldsEnabled(bool enabled) override;
    void SetTestButtonVisible(bool visible) override;
    void SetProgramText(const std::string &text) override;
    void SetVerdictText(const std::string &text) override;
    void SetVerdictLook(TVerdictLook look) override;
    void ResetIndicators() override;
    void ShowIndicator(TIndicator indicator) override;
    void ShowNews(const std::string &content, bool complete) override;
    void FocusNews() override;
    bool StatusBarExists() const override;
    void SetStatusText(const std::string &text) override;
    void SetCursors(TCursor cursor) override;
    void Repaint() override;
    void Close() override;
    void ShowErrorMessage(const std::string &text) override;
    void ShowMessageDialog(const std::string &text) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    template <class F>
    void Guarded(F &&handler);
    void SetUpLook();
    void SetUpTexts();
    void BindEvents();
    QWidget *Control(TControl control) const;
    class QLineEdit *Field(TField field) const;
    // Shows a box of Kind while anyone is left to read it.
    void Box(TMessageKind kind, const std::string &text);

    std::unique_ptr<Ui::MainWindowForm> ui;
    MessageBoxes &boxes;
    std::unique_ptr<TForm1> logic;
    bool destroying = false;
    bool closing = false;
    bool centred = false;
};
