// Identifiers of the main window's class, controls, menu items and private
// messages. Shared with the end-to-end tests, which find the controls by
// these identifiers; so this header needs no Windows header of its own.
#pragma once

namespace quellnet::platform {

inline constexpr wchar_t kForm1ClassName[] = L"QuellnetForm1";

// Every control is a direct child of the main window, so GetDlgItem on the
// main window finds each one.
enum Form1ControlId : int {
  kIdImage1 = 100,
  kIdLine2 = 101,
  kIdSSTab1 = 102,
  kIdLabel3 = 103,
  // page "Main"
  kIdLabel6 = 110,
  kIdText1 = 111,
  kIdLabel2 = 112,
  kIdChkmess = 113,
  kIdPicture1 = 114,
  kIdLabel4 = 115,
  // page "Preferences"
  kIdFrame1 = 120,
  kIdChkStartup = 121,
  kIdChkHideOnStart = 122,
  kIdLabel5 = 123,
  // page "Internet Options"
  kIdLabel9 = 130,
  kIdLabel10 = 131,
  kIdLabel7 = 132,
  kIdLabel8 = 133,
  kIdCommand1 = 134,
  kIdCommand2 = 135,
};

// Items of the pop-up menu `menutray`.
enum Form1MenuId : int {
  kIdMnuopen = 200,
  kIdMnuclose = 201,
};

// Private messages: WM_APP + 1 carries the tray icon's notifications (the
// mouse message code in lParam, the icon identifier 1 in wParam); WM_APP + 2
// asks a running instance to come forward, and it answers which it does.
inline constexpr unsigned kTrayCallbackMessage = 0x8000 + 1;
inline constexpr unsigned kActivateInstanceMessage = 0x8000 + 2;
inline constexpr long kInstanceComesForward = 1;
inline constexpr long kInstanceIsClosing = 2;  // its window is going; it ends soon
inline constexpr unsigned kTrayIconId = 1;

}  // namespace quellnet::platform
