#pragma once
// What another program needs to find the Win32 window and its controls: the
// window classes and one control ID per control, named after the control as
// ui/Control.h names those both windows share. The end-to-end tests drive the
// window by these, so they never change meaning; a new control takes a new
// number.
//
// Every control is a descendant of the main window (the pages and panels are
// child windows of their own), so EnumChildWindows over the main window finds
// each of them; IDs are unique in the whole window.
//
// Texts read with WM_GETTEXT are UTF-16. The status bar has one part, so
// WM_GETTEXT on it gives the one status text.

namespace WindowIds {

// The main window's class; its caption is "ZELNOR, VEMO" until start-up
// names the detected product.
inline constexpr wchar_t MainWindowClass[] = L"TForm1";
// Pages and panels: plain containers that pass their children's messages on.
inline constexpr wchar_t ContainerClass[] = L"TPanel";

// Outside the pages.
inline constexpr int PageControl1 = 100;
inline constexpr int StatusBar1 = 101;

// The pages.
inline constexpr int TabSheetParametry = 110;
inline constexpr int TabSheetCoNowego = 111;

// "Parametry".
inline constexpr int LabelHost = 200;
inline constexpr int LabelHostPort = 201;
inline constexpr int LabelUser = 202;
inline constexpr int LabelUserPassword = 203;
inline constexpr int LabelProxy = 204;
inline constexpr int LabelProxyPort = 205;
inline constexpr int LabelRemoteFile = 206;
inline constexpr int EditHost = 210;
inline constexpr int EditHostPort = 211;
inline constexpr int EditUser = 212;
inline constexpr int EditPassword = 213;
inline constexpr int CheckBoxProxy = 214;
inline constexpr int EditProxy = 215;
inline constexpr int EditProxyPort = 216;
inline constexpr int EditRemoteFile = 217;

// "Co nowego".
inline constexpr int PanelSpeedButtons = 300;
inline constexpr int SpeedDownload = 301;
inline constexpr int SpeedAbort = 302;
inline constexpr int Bevel1 = 303;
inline constexpr int SpeedConnect = 304;
inline constexpr int SpeedDisconnect = 305;
inline constexpr int SpeedExit = 306;

inline constexpr int PanelProgram = 310;
inline constexpr int TextProgram = 311;
inline constexpr int Bevel3 = 312;
inline constexpr int Bevel2 = 313;
inline constexpr int SpeedProgramAkt = 314;
inline constexpr int SpeedProgramOld = 315;
inline constexpr int TextKomunikat = 316;

inline constexpr int PanelRtf = 320;
inline constexpr int LabelRtf = 321;
inline constexpr int RichEditRtf = 322;

inline constexpr int ButtonTest = 330;

} // namespace WindowIds
