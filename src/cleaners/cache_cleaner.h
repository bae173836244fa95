#pragma once

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
  platform::MainWindow& window_;
  platform::Registry& registry_;
  platform::FileSystem& files_;
};

}  // namespace quellnet::cleaners
