#include "app/command_line.h"

#include <string>

#include "cleaners/browser_cleaner.h"
#include "platform/long_work.h"

namespace quellnet::app {
namespace {

constexpr std::wstring_view kUsage =
    L"Usage: quellnet.exe [/ClearCache | /ClearCookies | /?]\n"
    L"\n"
    L"  /ClearCache    empties the Internet cache and the list of typed addresses\n"
    L"  /ClearCookies  deletes the cookies\n"
    L"  /?             shows this text\n"
    L"\n"
    L"With a switch Quellnet shows no window and leaves a running Quellnet alone.\n"
    L"It writes here what \"Clear Cache\" or \"Clear Cookies\" would say, and ends with\n"
    L"exit code 0 when everything was deleted, 1 when something was left, 2 when\n"
    L"the folder's location was refused or is unknown (nothing in it was touched),\n"
    L"3 when the command line was not understood, or 4 when the folder does not\n"
    L"exist (so nothing was in it to delete).";

// Letter case aside; the switches are plain ASCII words.
bool SameSwitch(std::wstring_view given, std::wstring_view name) {
  if (given.size() != name.size()) {
    return false;
  }
  for (std::size_t i = 0; i < given.size(); ++i) {
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    if (lower(given[i]) != lower(name[i])) {
      return false;
    }
  }
  return true;
}

// A run without a window has nothing to keep responding: the work goes on
// to its end. It is stopped only with the process itself.
class UnattendedWork final : public platform::LongWork {
 public:
  void SetBusy(bool) override {}
  bool KeepResponding(double) override { return true; }
};

// What the cleaner would show in its box goes to the console instead.
class ConsoleMessages final : public platform::MessageBoxes {
 public:
  explicit ConsoleMessages(platform::Console& console) : console_(console) {}
  void ShowMessage(std::wstring_view text, platform::MessageIcon) override {
    // Without a console the exit code alone tells how it went.
    console_.WriteLines(text);
  }
  // Nobody is there to answer.
  bool AskRetry(std::wstring_view text, platform::MessageIcon) override {
    console_.WriteLines(text);
    return false;
  }

 private:
  platform::Console& console_;
};

int ExitCodeOf(cleaners::CleanResult result) {
  switch (result) {
    case cleaners::CleanResult::kEmptied:
      return kExitSuccess;
    case cleaners::CleanResult::kRefused:
      return kExitRefused;
    case cleaners::CleanResult::kMissing:
      return kExitMissing;
    case cleaners::CleanResult::kLeft:
    case cleaners::CleanResult::kStopped:
      break;
  }
  return kExitLeft;
}

}  // namespace

Command ReadCommandLine(const std::vector<std::wstring_view>& arguments) {
  if (arguments.empty()) {
    return Command::kOpenWindow;
  }
  const std::wstring_view given = arguments[0];
  if (arguments.size() > 1 || given.size() < 2 || (given[0] != L'/' && given[0] != L'-')) {
    return Command::kNotUnderstood;
  }
  const std::wstring_view name = given.substr(1);
  if (SameSwitch(name, L"ClearCache")) {
    return Command::kClearCache;
  }
  if (SameSwitch(name, L"ClearCookies")) {
    return Command::kClearCookies;
  }
  return name == L"?" ? Command::kShowUsage : Command::kNotUnderstood;
}

int RunCommand(Command command, const std::vector<std::wstring_view>& arguments,
               const CommandPlatform& platform) {
  switch (command) {
    case Command::kClearCache:
    case Command::kClearCookies: {
      UnattendedWork work;
      ConsoleMessages messages(platform.console);
      cleaners::BrowserCleaner cleaner(
          command == Command::kClearCache ? cleaners::kCacheJob : cleaners::kCookieJob, work,
          messages, platform.registry, platform.files);
      return ExitCodeOf(cleaner.Run());
    }
    case Command::kShowUsage:
      if (!platform.console.WriteLines(kUsage)) {
        platform.boxes.ShowMessage(kUsage, platform::MessageIcon::kInformation);
      }
      return kExitSuccess;
    case Command::kOpenWindow:
    case Command::kNotUnderstood:
      break;
  }
  std::wstring given;
  for (const std::wstring_view argument : arguments) {
    given += (given.empty() ? L"" : L" ") + std::wstring(argument);
  }
  platform.console.WriteLines(L"Not understood: " + given + L"\n\n" + std::wstring(kUsage));
  return kExitNotUnderstood;
}

}  // namespace quellnet::app
