// The protection switch against a stand-in "Messenger" service that this
// test program registers in the throw-away prefix (the Service Control
// Manager starts this same program again to serve it), and the options and
// run-at-logon entry in the real registry.
#include <algorithm>
#include <string>

#include "fixture.h"
#include "tools/test_service.h"

namespace quellnet::e2e {
namespace {

using namespace platform;
using tools::TestServiceStartType;
using tools::TestServiceState;

constexpr wchar_t kProtected[] = L"PC Protected !";
constexpr wchar_t kNotProtected[] = L"PC Not Protected !";
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

class OptionsProtectionTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    ASSERT_EQ(tools::InstallTestService(150, SERVICE_AUTO_START), 0u);
    ASSERT_TRUE(tools::StartTestService());
  }
  void TearDown() override {
    QuellnetTest::TearDown();
    EXPECT_TRUE(tools::DeleteTestService());
  }
  bool CaptionBecomes(const wchar_t* caption) const {
    return WaitUntil([&] { return WindowText(Control(kIdLabel2)) == caption; });
  }
  // The picture shows the colour when more than 100 of its pixels on the
  // screen are clearly of it and fewer than 20 of the other.
  bool Shows(COLORREF colour) const {
    return WaitUntil([&] {
      RECT box{};
      GetWindowRect(Control(kIdPicture1), &box);
      const HDC screen = GetDC(nullptr);
      int counts[2] = {};  // green, red
      for (LONG y = box.top; y < box.bottom; ++y) {
        for (LONG x = box.left; x < box.right; ++x) {
          const COLORREF pixel = GetPixel(screen, x, y);
          const int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
          counts[0] += g > r + 60 && g > b + 60;
          counts[1] += r > g + 60 && r > b + 60;
        }
      }
      ReleaseDC(nullptr, screen);
      const bool green = colour == kGreen;
      return counts[green ? 0 : 1] > 100 && counts[green ? 1 : 0] < 20;
    });
  }
};

// Closing writes the Run entry with the real path of the program, stored as
// ReadUserString insists.
TEST_F(OptionsProtectionTest, StoredProtectionStopsTheServiceAndTheSwitchTurnsItBack) {
  ASSERT_NO_FATAL_FAILURE(
      StartProgram({.presets = {{kOptionsKey, L"mess", L"1"}, {kOptionsKey, L"StartUp", L"1"}}}));
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_CHECKED);
  EXPECT_TRUE(CaptionBecomes(kProtected));
  EXPECT_TRUE(Shows(kGreen));
  EXPECT_EQ(TestServiceState(), SERVICE_STOPPED);
  EXPECT_EQ(TestServiceStartType(), SERVICE_DEMAND_START);

  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));
  ASSERT_TRUE(CaptionBecomes(kNotProtected));
  EXPECT_TRUE(Shows(kRed));
  EXPECT_EQ(TestServiceState(), SERVICE_RUNNING);
  EXPECT_EQ(TestServiceStartType(), SERVICE_AUTO_START);

  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  // The local address from the system's adapter list: four dotted numbers.
  const std::wstring address = WindowText(Control(kIdText1));
  EXPECT_EQ(std::count(address.begin(), address.end(), L'.'), 3) << Narrow(address);
  ASSERT_TRUE(program_.Close());
  EXPECT_EQ(ReadUserString(kRunKey, kRunValueName),
            std::wstring(L"\"C:\\Quellnet\\quellnet.exe\""));
}

// Turning protection on never makes a disabled service startable again; a
// service that was removed but still runs is stopped, not taken as missing;
// once it has gone, turning protection off says so.
TEST_F(OptionsProtectionTest, ADisabledServiceStaysDisabledAndARemovedOneIsStoppedThenMissed) {
  ASSERT_TRUE(tools::SetTestServiceStartType(SERVICE_DISABLED));
  ASSERT_NO_FATAL_FAILURE(StartProgram({.presets = {{kOptionsKey, L"mess", L"1"}}}));
  EXPECT_TRUE(CaptionBecomes(kProtected));
  EXPECT_EQ(TestServiceState(), SERVICE_STOPPED);
  EXPECT_EQ(TestServiceStartType(), SERVICE_DISABLED);

  ASSERT_TRUE(tools::SetTestServiceStartType(SERVICE_DEMAND_START));
  ASSERT_TRUE(tools::StartTestService());
  ASSERT_TRUE(tools::MarkTestServiceForDeletion());
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));  // off: it runs, as asked
  ASSERT_TRUE(CaptionBecomes(kNotProtected));
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));  // on: it is stopped, and goes
  ASSERT_TRUE(CaptionBecomes(kProtected));
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  EXPECT_NE(TestServiceState(), SERVICE_RUNNING);

  ASSERT_TRUE(WaitUntil([] { return !TestServiceState().has_value(); }));
  ASSERT_TRUE(Click(Control(kIdChkmess)));  // off, with no service at all
  const auto box = program_.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_NE(box->text.find(L"not installed"), std::wstring::npos) << Narrow(box->text);
  EXPECT_TRUE(CaptionBecomes(kProtected));
  EXPECT_TRUE(Shows(kGreen));
}

}  // namespace
}  // namespace quellnet::e2e
