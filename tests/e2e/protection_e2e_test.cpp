// The protection switch against a stand-in "Messenger" service that this
// test program registers in the throw-away prefix (the Service Control
// Manager starts this same program again to serve it).
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"
#include "tools/test_service.h"

namespace quellnet::e2e {
namespace {

using platform::win32::kIdChkmess;
using platform::win32::kIdLabel2;
using platform::win32::kIdPicture1;
using platform::win32::kIdText1;
using tools::TestServiceStartType;
using tools::TestServiceState;

// In the process the Service Control Manager starts, this serves the service
// and never returns.
[[maybe_unused]] const int kServiceHook = [] {
  tools::RunAsTestServiceIfAsked();
  return 0;
}();

// Start options with these options stored before the start.
StartOptions WithStored(std::vector<std::pair<std::wstring, std::wstring>> options,
                        std::wstring folder = {}) {
  StartOptions start;
  start.folder = std::move(folder);
  for (auto& [name, text] : options) {
    start.presets.push_back({kOptionsKey, name, text});
  }
  return start;
}

constexpr wchar_t kMessenger[] = L"Messenger";
constexpr wchar_t kProtected[] = L"PC Protected !";
constexpr wchar_t kNotProtected[] = L"PC Not Protected !";

class ProtectionTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    tools::TestServiceOptions options;
    options.name = kMessenger;
    options.stop_delay_ms = 150;
    options.start_type = SERVICE_AUTO_START;
    std::wstring error;
    ASSERT_TRUE(tools::InstallTestService(options, error)) << Narrow(error);
    ASSERT_TRUE(tools::StartTestService(kMessenger));
  }
  void TearDown() override {
    QuellnetTest::TearDown();
    EXPECT_TRUE(tools::DeleteTestService(kMessenger));
  }

  // Starts the program and waits until its start-up has run: the window is
  // shown only after that.
  void Launch(const StartOptions& options = {}) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(options));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Main()) != FALSE; }));
  }

  std::wstring Caption() const { return WindowText(Control(kIdLabel2)); }
  bool WaitForCaption(const std::wstring& caption) const {
    return WaitUntil([&] { return Caption() == caption; });
  }
  // What the status picture shows, read from the screen: the box's pixels
  // are mostly the dialog colour, plus the green or the red picture.
  enum class Shown { kNothing, kGreen, kRed };
  Shown StatusPicture() const {
    RECT box{};
    if (!GetWindowRect(Control(kIdPicture1), &box)) {
      return Shown::kNothing;
    }
    // Let a pending repaint finish first.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    UpdateWindow(Control(kIdPicture1));
    HDC screen = GetDC(nullptr);
    int green = 0;
    int red = 0;
    for (LONG y = box.top; y < box.bottom; ++y) {
      for (LONG x = box.left; x < box.right; ++x) {
        const COLORREF colour = GetPixel(screen, x, y);
        const int r = GetRValue(colour);
        const int g = GetGValue(colour);
        const int b = GetBValue(colour);
        green += g > r + 60 && g > b + 60 ? 1 : 0;
        red += r > g + 60 && r > b + 60 ? 1 : 0;
      }
    }
    ReleaseDC(nullptr, screen);
    // The pictures are 25 by 25; a quarter of either colour is plenty.
    if (green > 100 && red < 20) {
      return Shown::kGreen;
    }
    if (red > 100 && green < 20) {
      return Shown::kRed;
    }
    return Shown::kNothing;
  }
  bool WaitForPicture(Shown shown) const {
    return WaitUntil([&] { return StatusPicture() == shown; });
  }
};

TEST_F(ProtectionTest, FirstStartWithAnEmptyStoreLeavesTheServiceAlone) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_UNCHECKED);
  EXPECT_EQ(Caption(), L"");
  EXPECT_EQ(StatusPicture(), Shown::kNothing);
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_RUNNING);
  EXPECT_EQ(TestServiceStartType(kMessenger), SERVICE_AUTO_START);
  // The local address, once: four dotted numbers.
  const std::wstring address = WindowText(Control(kIdText1));
  EXPECT_EQ(std::count(address.begin(), address.end(), L'.'), 3) << Narrow(address);
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
}

TEST_F(ProtectionTest, StoredProtectionStopsTheServiceAtStartUpAndClickingOffStartsIt) {
  ASSERT_NO_FATAL_FAILURE(Launch(WithStored({{L"mess", L"1"}})));
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_CHECKED);
  EXPECT_EQ(Caption(), kProtected);
  EXPECT_TRUE(WaitForPicture(Shown::kGreen));
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_STOPPED);
  EXPECT_EQ(TestServiceStartType(kMessenger), SERVICE_DEMAND_START);

  ASSERT_TRUE(Click(Control(kIdChkmess)));
  ASSERT_TRUE(WaitForCaption(kNotProtected)) << Narrow(Caption());
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_UNCHECKED);
  EXPECT_TRUE(WaitForPicture(Shown::kRed));
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_RUNNING);
  EXPECT_EQ(TestServiceStartType(kMessenger), SERVICE_AUTO_START);
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());

  ASSERT_TRUE(Click(Control(kIdChkmess)));
  ASSERT_TRUE(WaitForCaption(kProtected)) << Narrow(Caption());
  EXPECT_TRUE(WaitForPicture(Shown::kGreen));
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_STOPPED);
}

TEST_F(ProtectionTest, WithoutTheServiceTheSwitchSaysSoAndShowsProtected) {
  ASSERT_TRUE(tools::DeleteTestService(kMessenger));
  ASSERT_NO_FATAL_FAILURE(Launch());

  ASSERT_TRUE(Click(Control(kIdChkmess)));
  const auto box = program_.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Quellnet");
  EXPECT_NE(box->text.find(L"not installed"), std::wstring::npos) << Narrow(box->text);
  EXPECT_EQ(Caption(), kProtected);
  EXPECT_TRUE(WaitForPicture(Shown::kGreen));
  ASSERT_TRUE(AnswerMessageBox(*box));
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_CHECKED);
}

TEST_F(ProtectionTest, AServiceThatFailsToStartIsReportedAndShownAsItIs) {
  // A service whose program file is missing: every start fails at once.
  ASSERT_TRUE(tools::DeleteTestService(kMessenger));
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
  ASSERT_NE(manager, nullptr);
  SC_HANDLE broken =
      CreateServiceW(manager, kMessenger, kMessenger, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                     SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, L"C:\\missing\\nothing.exe",
                     nullptr, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(broken, nullptr);
  CloseServiceHandle(broken);
  CloseServiceHandle(manager);

  ASSERT_NO_FATAL_FAILURE(Launch(WithStored({{L"mess", L"1"}})));
  EXPECT_EQ(Caption(), kProtected);         // stopped: protected
  ASSERT_TRUE(Click(Control(kIdChkmess)));  // off: the start fails
  const auto box = program_.WaitForMessageBox(std::chrono::seconds(40));
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Quellnet");
  EXPECT_NE(box->text.find(L"could not start"), std::wstring::npos) << Narrow(box->text);
  EXPECT_EQ(Caption(), kProtected);
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_STOPPED);
  ASSERT_TRUE(AnswerMessageBox(*box));
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_UNCHECKED);
}

}  // namespace
}  // namespace quellnet::e2e
