// Identifiers of the main window's class, controls and menu items. Shared
// with the end-to-end tests and the installer's helper, which find the window
// and its controls by these identifiers; so no Windows header here.
#pragma once

namespace quellnet::app {

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

// The program file's resources that the window takes (res/resource.h names
// the same ids for the resource compiler; the composition root checks that
// they agree): the program's icon and the pop-up menu `menutray`.
inline constexpr int kIdIconQuellnet = 1;
inline constexpr int kIdMenuTray = 102;

}  // namespace quellnet::app
