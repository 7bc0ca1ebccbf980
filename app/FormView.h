#pragma once
// What the main window's logic asks of its window: the controls it reads and
// sets, and the message boxes it shows. The window of the ui layer implements
// it; the logic knows no widget. Texts are in code page 1250.
#include <string>

enum class TField { Host, HostPort, User, Password, Proxy, ProxyPort, RemoteFile };
enum class TIndicator { ProgramAkt, ProgramOld };
// The two looks of the verdict text: an update waits, or none is needed.
enum class TVerdictLook { UpdateWaiting, UpToDate };
enum class TCursor { Default, HourGlass };

class FormView {
public:
    virtual ~FormView() = default;

    virtual void SetCaption(const std::string &caption) = 0;
    virtual void ShowNewsPage() = 0;

    virtual std::string FieldText(TField field) const = 0;
    virtual void SetFieldText(TField field, const std::string &text) = 0;

    // Changing the check state runs the proxy box's click reaction, as a click does.
    virtual bool ProxyChecked() const = 0;
    virtual void SetProxyChecked(bool checked) = 0;
    virtual void SetProxyFieldsEnabled(bool enabled) = 0;
    virtual void SetTestButtonVisible(bool visible) = 0;

    virtual void SetProgramText(const std::string &text) = 0;
    virtual void SetVerdictText(const std::string &text) = 0;
    virtual void SetVerdictLook(TVerdictLook look) = 0;
    // Hides both indicators and puts them on their common spot.
    virtual void ResetIndicators() = 0;
    virtual void ShowIndicator(TIndicator indicator) = 0;

    // Shows the news file's content (rich text, or plain text when it is none)
    // with the caret at its start. Complete is false when the file goes on
    // beyond Content, which the view then marks as cut.
    virtual void ShowNews(const std::string &content, bool complete) = 0;
    // Gives the news view the keyboard focus; raises when it cannot take it.
    virtual void FocusNews() = 0;

    // False once the window is being destroyed.
    virtual bool StatusBarExists() const = 0;
    virtual void SetStatusText(const std::string &text) = 0;
    virtual void SetCursors(TCursor cursor) = 0;
    virtual void Repaint() = 0;
    virtual void Close() = 0;

    // A modal box with the caption "Błąd", one OK button and no icon.
    virtual void ShowErrorMessage(const std::string &text) = 0;
    // The plain message dialog with the application's title as caption.
    virtual void ShowMessageDialog(const std::string &text) = 0;
};
