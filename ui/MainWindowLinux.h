#pragma once
// The Qt main window: the Designer form with the shared captions and hints,
// the FormView its logic talks to, and the shared table of control actions
// wired to the form's signals.
#include "app/vm_ver32Main.h"
#include "ui/Control.h"
#include "ui/FormWindow.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class MainWindowForm;
}
class MessageBoxes;

class MainWindow : public QMainWindow, public FormWindow {
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
    void SetStatusText(const std::string &text) override;
    void SetCursors(TCursor cursor) override;
    void Repaint() override;
    void Close() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void OpenBox(TMessageKind kind, const std::string &text) override;

private:
    void SetUpLook();
    void SetUpTexts();
    void BindEvents();
    QWidget *Control(TControl control) const;
    class QLineEdit *Field(TField field) const;

    std::unique_ptr<Ui::MainWindowForm> ui;
    MessageBoxes &boxes;
    bool centred = false;
};
