// The composition root: the Win32 side of the program runs the window that
// Form1's layout describes and hands its parts to Form1, which answers the
// window's events; a command line runs its work without any window instead.
// wmain, not wWinMain, keeps this file free of Windows headers; the program
// is still a windowed one (linked with -municode -mwindows).
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/form1.h"
#include "app/form1_ids.h"
#include "app/form1_layout.h"
#include "app/app_info.h"
#include "app/command_line.h"
#include "platform/win32/process/library_search.h"
#include "platform/win32/process/program.h"
#include "platform/win32/process/redirection_guard_win32.h"
#include "platform/win32/process/windowless_run.h"
#include "resource.h"

namespace {

using namespace quellnet;

static_assert(app::kIdMnuopen == IDM_MNUOPEN && app::kIdMnuclose == IDM_MNUCLOSE,
              "the menu resource and the window's handlers agree on the item ids");
static_assert(app::kIdIconQuellnet == IDI_QUELLNET && app::kIdMenuTray == IDR_MENUTRAY,
              "the resources and the window's layout agree on the icon and menu ids");

// What the program shows of itself besides the window that Form1's layout
// describes.
const platform::win32::ProgramLook kLook{app::kForm1Layout,
                                         app::kApplicationTitle,
                                         {app::kSingleInstanceLock, app::kWaitNoticeClassName,
                                          app::kWaitNoAnswerYet, app::kWaitStillClosing},
                                         app::kCannotCreateWindow,
                                         app::kCannotPrepareAccess};

std::unique_ptr<platform::WindowEvents> BuildForm1(const platform::win32::ProgramParts& parts) {
  platform::win32::WindowControls& controls = parts.controls;
  platform::CheckBox* chkmess = controls.CheckBoxAt(app::kIdChkmess);
  platform::CheckBox* chkStartup = controls.CheckBoxAt(app::kIdChkStartup);
  platform::CheckBox* chkHideOnStart = controls.CheckBoxAt(app::kIdChkHideOnStart);
  platform::Label* Label2 = controls.LabelAt(app::kIdLabel2);
  platform::TextBox* Text1 = controls.TextBoxAt(app::kIdText1);
  platform::PictureBox* Picture1 = controls.PictureBoxAt(app::kIdPicture1);
  if (!chkmess || !chkStartup || !chkHideOnStart || !Label2 || !Text1 || !Picture1) {
    return nullptr;
  }
  return std::make_unique<app::Form1>(
      app::Form1Controls{parts.window, *chkmess, *chkStartup, *chkHideOnStart, *Label2, *Text1,
                         *Picture1},
      app::Form1Platform{parts.registry, parts.services, parts.files, parts.shell, parts.network,
                         parts.tray_icon});
}

}  // namespace

// What ends the program when an exception escapes: at once, as the standard
// library's own handler does after it has printed the exception's type. The
// program has no console to print to, and that handler brings in the
// library's name demangler and a formatted printer: about 60 KiB of the
// 32-bit program. Defined here, the library's is never linked.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

extern "C" int wmain(int argc, wchar_t** argv) {
  // The same protections for every run, windowed or not, before anything
  // loads a library or opens a file.
  platform::win32::SearchLibrariesInSystemFolderOnly();
  platform::win32::RefuseUntrustedLinks();
  const std::vector<std::wstring_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const app::Command command = app::ReadCommandLine(arguments);
  if (command != app::Command::kOpenWindow) {
    return platform::win32::RunWithoutWindow(
        app::kApplicationTitle, [&](const platform::win32::WindowlessParts& parts) {
          return app::RunCommand(command, arguments,
                                 {parts.registry, parts.files, parts.console, parts.boxes});
        });
  }
  return platform::win32::RunProgram(kLook, &BuildForm1);
}
