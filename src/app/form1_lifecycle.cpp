// Start-up, first paint and shutdown of the main window.
#include <string>
#include <string_view>
#include <vector>

#include "app/app_info.h"
#include "app/form1.h"
#include "app/local_address.h"
#include "app/option_text.h"
#include "app/run_at_startup.h"
#include "app/settings_keys.h"
#include "platform/system_error.h"

namespace quellnet::app {
namespace {

// Reads one option; nullopt when the stored text can't be read (then `why`
// gets the system's code for it, where it gave one) or is not a 16-bit whole
// number.
std::optional<platform::CheckValue> ReadOption(platform::SettingsStore& settings,
                                               std::wstring_view key,
                                               platform::SystemError* why = nullptr) {
  const platform::StoredText stored =
      settings.Read(kApplicationTitle, kOptionsSection, key, kOptionDefault);
  if (!stored.text) {
    if (why != nullptr) {
      *why = stored.error;
    }
    return std::nullopt;
  }
  return ParseOptionText(*stored.text);
}

// A setting that could not be read or saved, as a message names it, with
// the system's code for why where it gave one.
struct Trouble {
  std::wstring_view name;
  platform::SystemError error = 0;
};

// A restore step that fails leaves the box as it is (off), and start-up goes
// on with the next step. A stored option that could not be used (it can't be
// read, is not a number, or the box refuses it: any number but 0, 1 and 2)
// joins `unread`.
void RestoreOption(platform::SettingsStore& settings, std::wstring_view key,
                   platform::CheckBox& box, std::wstring_view name, std::vector<Trouble>& unread) {
  platform::SystemError why = 0;
  const auto value = ReadOption(settings, key, &why);
  if (!value || !box.SetValue(*value)) {
    unread.push_back({name, why});
  }
}

// The lines of a list of troubles, each with the system's reason after it.
std::wstring Listed(const std::vector<Trouble>& troubles) {
  std::wstring text;
  for (const Trouble& trouble : troubles) {
    text += L"\n- ";
    text += trouble.name;
    if (trouble.error != 0) {
      text += L" (" + platform::SystemErrorText(trouble.error) + L")";
    }
  }
  return text;
}

// How the messages name each option, as the window shows it.
constexpr std::wstring_view kStartUpName = L"the option \"Run at Startup\"";
constexpr std::wstring_view kHideOnStartName = L"the option \"Run Minimized\"";
constexpr std::wstring_view kMessName = L"the option \"Enable Protection Now !\"";

// Names the options whose stored values start-up could not use, so that the
// user learns why they are off before closing saves them as they are shown.
std::wstring UnreadNotice(const std::vector<Trouble>& unread) {
  std::wstring text = L"Quellnet could not read these settings, so they start off:\n";
  text += Listed(unread);
  text += L"\n\nWhen Quellnet closes, they are saved as the window shows them.";
  return text;
}

// What closing could not do to the run-at-logon entry.
constexpr std::wstring_view kUnsavedEntryAdd = L"the entry that starts Quellnet when you log on";
constexpr std::wstring_view kUnsavedEntryRemove =
    L"the removal of the entry that starts Quellnet when you log on: it will still start at "
    L"your next logon";

// One message for everything that closing could not save.
std::wstring UnsavedNotice(const std::vector<Trouble>& unsaved) {
  std::wstring text = L"Quellnet could not save these settings as it closed:\n";
  text += Listed(unsaved);
  text += L"\n\nWhat was not saved keeps its earlier value at the next start.";
  return text;
}

}  // namespace

void Form1::Form_Load() {
  // The tray icon first. From here on a step that fails is abandoned silently
  // and start-up goes on with the next one.
  tray_.AddIcon();

  // The two options without click handling only set their boxes.
  std::vector<Trouble> unread;
  RestoreOption(settings_, kKeyStartUp, controls_.chkStartup, kStartUpName, unread);
  RestoreOption(settings_, kKeyHideOnStart, controls_.chkHideOnStart, kHideOnStartName, unread);

  // A stored protection that changes the box runs the switch inside this
  // step. Whatever it finds is shown in the status display; the switch shows
  // no message box and start-up goes on.
  {
    protection::ProtectionSwitch::RestoreScope restoring(protection_);
    RestoreOption(settings_, kKeyMess, controls_.chkmess, kMessName, unread);
  }

  // The status caption once more from the switch, read fresh from the box. It
  // claims protection only when the service really is stopped or missing.
  const platform::CheckValue mess = controls_.chkmess.Value();
  if (mess == 1) {
    if (protection_.IsProtected()) {
      controls_.Label2.SetCaption(protection::kProtectedCaption);
    }
  } else if (mess == 0) {
    controls_.Label2.SetCaption(L"");
  }

  first_paint_ = true;

  // The address is read once, here; addresses that can't be read leave the box as it is.
  if (const std::optional<std::vector<std::string>> addresses =
          platform_.network.LocalIpv4Addresses()) {
    controls_.Text1.SetText(
        PickLocalAddress(std::vector<std::string_view>(addresses->begin(), addresses->end())));
  }

  // Told once, here, and not at every paint that reads "Run Minimized" again.
  if (!unread.empty()) {
    controls_.window.ShowMessage(UnreadNotice(unread), platform::MessageIcon::kWarning);
  }
}

void Form1::Form_Paint() {
  if (!first_paint_) {
    return;
  }
  // The stored option, not the box: a change made during this run takes
  // effect at the next start.
  if (ReadOption(settings_, kKeyHideOnStart) != 1) {
    return;
  }
  // The resize notification hides the window to the tray before this returns.
  controls_.window.SetState(platform::WindowState::kMinimized);
  first_paint_ = false;
}

void Form1::Form_Unload(platform::UnloadReason reason) {
  // Each write stands on its own: one that fails loses only its own value.
  struct Option {
    std::wstring_view key;
    const platform::CheckBox& box;
    std::wstring_view name;  // as the window shows it
  };
  const Option options[] = {
      {kKeyStartUp, controls_.chkStartup, kStartUpName},
      {kKeyHideOnStart, controls_.chkHideOnStart, kHideOnStartName},
      {kKeyMess, controls_.chkmess, kMessName},
  };
  std::vector<Trouble> unsaved;
  for (const Option& option : options) {
    const platform::RegResult written = settings_.Write(kApplicationTitle, kOptionsSection,
                                                        option.key, OptionText(option.box.Value()));
    if (written.status != platform::RegStatus::kOk) {
      unsaved.push_back({option.name, written.error});
    }
  }

  // Read the box again: 1 and 2 both ask for the entry.
  const bool run_at_startup = controls_.chkStartup.Value() != 0;
  const platform::RegResult entry =
      SetRunAtStartup(run_at_startup, platform_.registry, platform_.shell);
  if (entry.status != platform::RegStatus::kOk) {
    unsaved.push_back({run_at_startup ? kUnsavedEntryAdd : kUnsavedEntryRemove, entry.error});
  }

  // The window is about to go: take its icon out of the notification area
  // now, or a dead icon stays there until the pointer passes over it.
  tray_.RemoveIcon();

  // Told once, in one box. Not while Windows logs off or shuts down: a box
  // would hold that up, and nobody may be there to read it.
  if (!unsaved.empty() && reason == platform::UnloadReason::kClose) {
    controls_.window.ShowMessage(UnsavedNotice(unsaved), platform::MessageIcon::kWarning);
  }
}

}  // namespace quellnet::app
