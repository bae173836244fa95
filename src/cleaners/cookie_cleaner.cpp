#include "cleaners/cookie_cleaner.h"

#include <optional>

#include "cleaners/cleaner_steps.h"

namespace quellnet::cleaners {
namespace {

constexpr CleanerWords kWords{
    L"All Cookies Cleared !",
    L"The cookies were not cleared completely.",
    L"cookie folder",
};
constexpr std::wstring_view kCookiesValue = L"Cookies";

}  // namespace

CookieCleaner::CookieCleaner(platform::MainWindow& window, platform::Registry& registry,
                             platform::FileSystem& files)
    : window_(window), registry_(registry), files_(files) {}

void CookieCleaner::Run() {
  CleanReport report(kWords);
  {
    platform::WaitCursor busy(window_);
    Clean(report);
  }
  Tell(window_, report);
}

void CookieCleaner::Clean(CleanReport& report) {
  const std::optional<FolderVerdict> cookies =
      LocateFolder(registry_, files_, kCookiesValue, report);
  if (!cookies) {
    return;
  }
  if (cookies->refusal != Refusal::kNone) {
    report.Refused(*cookies);
    return;
  }
  if (const auto opened = files_.OpenFolder(cookies->path); opened != platform::FsStatus::kOk) {
    report.FolderNotOpened(cookies->path, opened);
    return;
  }
  // Only the files directly in the folder; its subfolders stay.
  DeleteFilesIn(files_, cookies->path, report);
}

}  // namespace quellnet::cleaners
