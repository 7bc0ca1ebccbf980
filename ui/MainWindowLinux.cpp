#include "ui/MainWindowLinux.h"

#include "platform/Exception.h"
#include "rtf/RtfReader.h"
#include "ui/ControlActions.h"
#include "ui/ControlTexts.h"
#include "ui/Cp1250TextLinux.h"
#include "ui/MessageBoxesLinux.h"
#include "ui/NewsDocumentLinux.h"
#include "ui/SpeedButtonStyleLinux.h"
#include "ui_MainWindow.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

MainWindow::MainWindow(MessageBoxes &Boxes, TForm1::DirectoryFn ProgramDirectory)
    : ui(std::make_unique<Ui::MainWindowForm>()), boxes(Boxes)
{
    ui->setupUi(this);
    SetUpLook();
    SetUpTexts();
    BindEvents();
    StartLogic(std::move(ProgramDirectory));
}

MainWindow::~MainWindow() { EndLogic(); }

void MainWindow::SetUpLook()
{
    // A fixed frame with only the system menu and the close box, above all windows.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    ui->StatusBar1->setFixedHeight(19);
    setFixedSize(446, 304 + 19);

    QStyle *look = style();
    setWindowIcon(look->standardIcon(QStyle::SP_BrowserReload));
    ui->SpeedDownload->setIcon(look->standardIcon(QStyle::SP_ArrowDown));
    ui->SpeedAbort->setIcon(look->standardIcon(QStyle::SP_BrowserStop));
    ui->SpeedConnect->setIcon(look->standardIcon(QStyle::SP_DriveNetIcon));
    ui->SpeedDisconnect->setIcon(look->standardIcon(QStyle::SP_DialogCancelButton));
    ui->SpeedExit->setIcon(look->standardIcon(QStyle::SP_DialogCloseButton));
    ui->SpeedProgramAkt->setIcon(look->standardIcon(QStyle::SP_DialogApplyButton));
    ui->SpeedProgramOld->setIcon(look->standardIcon(QStyle::SP_MessageBoxWarning));
    auto *actionLook = new SpeedButtonStyle;
    actionLook->setParent(this);
    for (QToolButton *action : {ui->SpeedDownload, ui->SpeedAbort, ui->SpeedConnect, ui->SpeedDisconnect, ui->SpeedExit})
        action->setStyle(actionLook);

    // The news view: menu-coloured background, title-bar-coloured text.
    QPalette news = ui->RichEditRtf->palette();
    news.setColor(QPalette::Base, palette().color(QPalette::Window));
    news.setColor(QPalette::Text, palette().color(QPalette::Highlight));
    ui->RichEditRtf->setPalette(news);

    QPalette verdict = ui->TextKomunikat->palette();
    verdict.setColor(QPalette::Window, palette().color(QPalette::Button));
    verdict.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
    ui->TextKomunikat->setPalette(verdict);
}

void MainWindow::SetUpTexts()
{
    setWindowTitle(ToQt(StartCaption()));
    for (const ControlText &text : ControlTexts()) {
        QWidget *control = Control(text.control);
        if (!text.hint.empty())
            control->setToolTip(ToQt(text.hint));
        const QString caption = ToQt(text.caption);
        if (const int page = ui->PageControl1->indexOf(control); page >= 0)
            ui->PageControl1->setTabText(page, caption);
        else if (auto *label = qobject_cast<QLabel *>(control))
            label->setText(caption);
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            button->setText(caption); // an indicator shows its glyph alone
    }
}

void MainWindow::BindEvents()
{
    for (const ControlAction &action : ControlActions()) {
        auto *button = qobject_cast<QAbstractButton *>(Control(action.control));
        if (!button)
            throw Exception(std::string("No button for the action of ") + ControlName(action.control));
        const auto event = action.event == TControlEvent::CheckChange ? &QAbstractButton::toggled : &QAbstractButton::clicked;
        connect(button, event, this, [this, &action] { Run(action); });
    }
}

QWidget *MainWindow::Control(TControl control) const
{
    auto *found = findChild<QWidget *>(QString::fromLatin1(ControlName(control)));
    if (!found)
        throw Exception(std::string("The form has no control ") + ControlName(control));
    return found;
}

QLineEdit *MainWindow::Field(TField field) const { return static_cast<QLineEdit *>(Control(ControlOf(field))); }

void MainWindow::SetCaption(const std::string &caption) { setWindowTitle(ToQt(caption)); }

void MainWindow::ShowNewsPage() { ui->PageControl1->setCurrentWidget(ui->TabSheetCoNowego); }

std::string MainWindow::FieldText(TField field) const { return FromQt(Field(field)->text()); }

void MainWindow::SetFieldText(TField field, const std::string &text) { Field(field)->setText(ToQt(text)); }

bool MainWindow::ProxyChecked() const { return ui->CheckBoxProxy->isChecked(); }

void MainWindow::SetProxyChecked(bool checked) { ui->CheckBoxProxy->setChecked(checked); }

void MainWindow::SetProxyFieldsEnabled(bool enabled)
{
    ui->EditProxy->setEnabled(enabled);
    ui->EditProxyPort->setEnabled(enabled);
}

void MainWindow::SetTestButtonVisible(bool visible) { ui->ButtonTest->setVisible(visible); }

void MainWindow::SetProgramText(const std::string &text) { ui->TextProgram->setText(ToQt(text)); }

void MainWindow::SetVerdictText(const std::string &text) { ui->TextKomunikat->setText(ToQt(text)); }

void MainWindow::SetVerdictLook(TVerdictLook look)
{
    QFont font = ui->TextKomunikat->font();
    font.setPointSize(10);
    font.setUnderline(true);
    font.setBold(look == TVerdictLook::UpdateWaiting);
    ui->TextKomunikat->setFont(font);

    // Highlighted text is drawn on the highlight colour, the pair every
    // palette keeps legible; the quiet verdict keeps the panel's colours.
    QPalette colours = ui->TextKomunikat->palette();
    if (look == TVerdictLook::UpdateWaiting) {
        colours.setColor(QPalette::WindowText, palette().color(QPalette::HighlightedText));
        colours.setColor(QPalette::Window, palette().color(QPalette::Highlight));
    } else {
        colours.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
        colours.setColor(QPalette::Window, palette().color(QPalette::Button));
    }
    ui->TextKomunikat->setPalette(colours);
}

void MainWindow::ResetIndicators()
{
    for (QWidget *indicator : {static_cast<QWidget *>(ui->SpeedProgramAkt), static_cast<QWidget *>(ui->SpeedProgramOld)}) {
        indicator->hide();
        indicator->move(160, 4);
    }
}

void MainWindow::ShowIndicator(TIndicator indicator)
{
    (indicator == TIndicator::ProgramAkt ? ui->SpeedProgramAkt : ui->SpeedProgramOld)->show();
}

void MainWindow::ShowNews(const std::string &content, bool complete)
{
    FillBoundedNewsDocument(*ui->RichEditRtf->document(), Rtf::Read(content), !complete);
    QTextCursor start = ui->RichEditRtf->textCursor();
    start.movePosition(QTextCursor::Start);
    ui->RichEditRtf->setTextCursor(start);
}

void MainWindow::FocusNews()
{
    if (!ui->RichEditRtf->isVisible() || !ui->RichEditRtf->isEnabled())
        throw Exception("Cannot focus a disabled or invisible window");
    ui->RichEditRtf->setFocus();
}

void MainWindow::SetStatusText(const std::string &text)
{
    if (StatusBarExists())
        ui->StatusBar1->showMessage(ToQt(text));
}

void MainWindow::SetCursors(TCursor cursor)
{
    const QCursor shape(cursor == TCursor::HourGlass ? Qt::WaitCursor : Qt::ArrowCursor);
    ui->PanelProgram->setCursor(shape);
    ui->PanelSpeedButtons->setCursor(shape);
    ui->RichEditRtf->setCursor(shape);
    ui->RichEditRtf->viewport()->setCursor(cursor == TCursor::HourGlass ? QCursor(Qt::WaitCursor) : QCursor(Qt::IBeamCursor));
}

void MainWindow::Repaint() { repaint(); }

void MainWindow::Close() { close(); }

void MainWindow::OpenBox(TMessageKind kind, const std::string &text)
{
    boxes.Show(this, kind, ToQt(MessageCaption(kind)), ToQt(MessageText(kind, text)));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    CloseLogic();
    event->accept();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!centred) {
        centred = true;
        if (const QScreen *display = screen())
            move(display->availableGeometry().center() - rect().center());
    }
}
