#include "cleaners/cache_cleaner.h"

namespace quellnet::cleaners {

CacheCleaner::CacheCleaner(platform::MainWindow& window, platform::Registry& registry,
                           platform::FileSystem& files)
    : window_(window), registry_(registry), files_(files) {}

void CacheCleaner::Run() {}

}  // namespace quellnet::cleaners
