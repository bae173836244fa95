// "Clear Cookies": deletes every file directly in the browser's cookie
// folder, then tells the user what, if anything, was left and why.
#pragma once

#include "cleaners/clean_report.h"
#include "platform/file_system.h"
#include "platform/main_window.h"
#include "platform/registry.h"

namespace quellnet::cleaners {

class CookieCleaner {
 public:
  CookieCleaner(platform::MainWindow& window, platform::Registry& registry,
                platform::FileSystem& files);
  void Run();

 private:
  void Clean(CleanReport& report);

  platform::MainWindow& window_;
  platform::Registry& registry_;
  platform::FileSystem& files_;
};

}  // namespace quellnet::cleaners
