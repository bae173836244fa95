// Which locations are recognisably the browser's cache or cookie folder: the
// layouts real Windows installations have, and folders that only look like
// them.
#include <gtest/gtest.h>

#include "cleaners/browser_folders.h"

namespace quellnet::cleaners {
namespace {

constexpr BrowserFolder kCache = BrowserFolder::kCache;
constexpr BrowserFolder kCookies = BrowserFolder::kCookies;

struct Layout {
  BrowserFolder kind;
  const wchar_t* profile;
  const wchar_t* location;
};

class Recognised : public ::testing::TestWithParam<Layout> {};
class NotRecognised : public ::testing::TestWithParam<Layout> {};

TEST_P(Recognised, AsTheBrowsersOwn) {
  EXPECT_TRUE(IsBrowsersOwn(GetParam().kind, GetParam().location, GetParam().profile));
}

TEST_P(NotRecognised, AsTheBrowsersOwn) {
  EXPECT_FALSE(IsBrowsersOwn(GetParam().kind, GetParam().location, GetParam().profile));
}

constexpr wchar_t kXp[] = L"C:\\Documents and Settings\\Bob";
constexpr wchar_t kVista[] = L"C:\\Users\\Bob";

INSTANTIATE_TEST_SUITE_P(
    RealLayouts, Recognised,
    ::testing::Values(
        // Windows XP.
        Layout{kCache, kXp,
               L"C:\\Documents and Settings\\Bob\\Local Settings\\Temporary Internet Files"},
        Layout{kCookies, kXp, L"C:\\Documents and Settings\\Bob\\Cookies"},
        // Vista and 7.
        Layout{kCache, kVista,
               L"C:\\Users\\Bob\\AppData\\Local\\Microsoft\\Windows\\Temporary Internet Files"},
        Layout{kCookies, kVista, L"C:\\Users\\Bob\\AppData\\Roaming\\Microsoft\\Windows\\Cookies"},
        // 8.1 to 11.
        Layout{kCache, kVista, L"C:\\Users\\Bob\\AppData\\Local\\Microsoft\\Windows\\INetCache"},
        Layout{kCookies, kVista,
               L"C:\\Users\\Bob\\AppData\\Local\\Microsoft\\Windows\\INetCookies"},
        // Moved with the browser's own setting, to another drive.
        Layout{kCache, kVista, L"D:\\Temporary Internet Files"},
        Layout{kCache, kVista, L"E:\\Browser\\INetCache"},
        // Redirected application data, and a profile on another drive.
        Layout{kCookies, kVista,
               L"\\\\server\\home$\\bob\\AppData\\Roaming\\Microsoft\\Windows\\Cookies"},
        Layout{kCookies, L"D:\\Profiles\\Bob", L"d:\\profiles\\bob\\COOKIES"}));

INSTANTIATE_TEST_SUITE_P(
    LookAlikes, NotRecognised,
    ::testing::Values(
        Layout{kCache, kVista, L"C:\\Users\\Bob\\Documents"},
        Layout{kCache, kVista, L"C:\\Temporary Internet Files.old"},
        Layout{kCache, kVista, L"C:\\Users\\Bob\\AppData\\Local\\Microsoft\\Windows\\INetCookies"},
        Layout{kCookies, kVista, L"C:\\Users\\Bob\\AppData\\Local\\Microsoft\\Windows\\INetCache"},
        Layout{kCookies, kVista, L"C:\\Recipes\\Cookies"},
        Layout{kCookies, kVista, L"C:\\Users\\Bob\\Documents\\Cookies"},
        Layout{kCookies, kVista, L"C:\\Users\\Bob\\AppData\\Roaming\\Microsoft\\Cookies"},
        Layout{kCookies, kVista, L"C:\\Users\\Bob\\AppData\\Roaming\\Windows\\Cookies"},
        Layout{kCookies, kVista, L"C:\\Users\\Bob\\INetCookies"},
        Layout{kCookies, kVista, L"C:\\Windows\\Cookies"},
        // Another user's profile, and a profile the system does not name.
        Layout{kCookies, kXp, L"C:\\Documents and Settings\\Alice\\Cookies"},
        Layout{kCookies, L"", L"C:\\Cookies"}));

}  // namespace
}  // namespace quellnet::cleaners
