#include "cleaners/cookie_cleaner.h"

namespace quellnet::cleaners {

CookieCleaner::CookieCleaner(platform::MainWindow& window, platform::Registry& registry,
                             platform::FileSystem& files)
    : window_(window), registry_(registry), files_(files) {}

void CookieCleaner::Run() {}

}  // namespace quellnet::cleaners
