// "Clear Cache": empties the browser's temporary Internet files folder and
// deletes the list of addresses typed into its address bar, then tells the
// user what, if anything, was left and why.
#pragma once

#include <string>

#include "cleaners/clean_report.h"
#include "platform/file_system.h"
#include "platform/main_window.h"
#include "platform/registry.h"

namespace quellnet::cleaners {

class CacheCleaner {
 public:
  CacheCleaner(platform::MainWindow& window, platform::Registry& registry,
               platform::FileSystem& files);
  void Run();

 private:
  void Clean(CleanReport& report);
  void DeleteFiles(const std::wstring& folder, CleanReport& report);
  void DeleteSubfolders(const std::wstring& folder, CleanReport& report);

  platform::MainWindow& window_;
  platform::Registry& registry_;
  platform::FileSystem& files_;
};

}  // namespace quellnet::cleaners
