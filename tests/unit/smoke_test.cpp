#include <gtest/gtest.h>
#include "app/app_info.h"
TEST(AppInfo, TitleIsQuellnet) { EXPECT_EQ(quellnet::app::kApplicationTitle, L"Quellnet"); }
