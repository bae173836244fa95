// The protection switch against a stand-in "Messenger" service that this
// test program registers in the throw-away prefix (the Service Control
// Manager starts this same program again to serve it), and the options and
// run-at-logon entry in the real registry.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"
#include "tools/test_service.h"

namespace quellnet::e2e {
namespace {

using namespace app;
using namespace tools;

constexpr wchar_t kProtected[] = L"PC Protected !";
constexpr wchar_t kNotProtected[] = L"PC Not Protected !";
constexpr int kRed = 0;  // channels of an RGB triple
constexpr int kGreen = 1;

class OptionsProtectionTest : public QuellnetTest {
 protected:
  // On a screen of 192 DPI (200 %), where the status picture is enlarged.
  void SetUp() override {
    QuellnetTest::SetUp();
    SeeUnscaledPixels();
    ASSERT_TRUE(SetScreenDpi(192));
    ASSERT_EQ(InstallTestService(150, SERVICE_AUTO_START), 0u);
    ASSERT_TRUE(StartTestService());
  }
  void TearDown() override {
    QuellnetTest::TearDown();
    EXPECT_TRUE(DeleteTestService());
  }
  bool CaptionBecomes(const wchar_t* caption) const {
    return WaitUntil([&] { return WindowText(Control(kIdLabel2)) == caption; });
  }
  // The picture shows the colour (kGreen, kRed) in more than 100 of its
  // pixels on the screen, that colour's channel leading the others by 60.
  bool Shows(int channel) const {
    return WaitUntil([&] {
      const std::vector<DWORD> shown = ScreenPixels(Control(kIdPicture1));
      return std::count_if(shown.begin(), shown.end(), [&](DWORD pixel) {
               const int rgb[3] = {int(pixel >> 16), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)};
               return rgb[channel] > rgb[(channel + 1) % 3] + 60 &&
                      rgb[channel] > rgb[(channel + 2) % 3] + 60;
             }) > 100;
    });
  }
  // At 200 % the 25-pixel picture fills its 50-pixel box smoothly: most
  // 2 x 2 blocks are not one colour, as each would be with pixels doubled.
  bool DrawnSmoothly() const {
    const std::vector<DWORD> shown = ScreenPixels(Control(kIdPicture1));
    int blocks = 0;
    for (std::size_t i = 0; shown.size() == 50 * 50 && i < shown.size();
         i += i % 50 == 48 ? 52 : 2) {
      blocks += shown[i] == shown[i + 1] && shown[i] == shown[i + 50] && shown[i] == shown[i + 51];
    }
    return shown.size() == 50 * 50 && blocks < 25 * 25 / 2;
  }
};

// The controls whose content's name changed, as screen readers learn it:
// out of the program's process, while the test's thread pumps its messages.
std::vector<HWND> name_changes;

void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
  if (object == OBJID_CLIENT) {
    name_changes.push_back(window);
  }
}

bool Announced(HWND control, Millis within = kDefaultTimeout) {
  return WaitUntil(
      [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
          DispatchMessageW(&message);
        }
        return std::count(name_changes.begin(), name_changes.end(), control) > 0;
      },
      within);
}

// In each state the status caption and the picture's name (its text, which
// screen readers hear) tell it, the picture shows its colour and the service
// is where protection wants it. A click announces the new state to screen
// readers; while nothing changes, nothing is announced. Closing writes the
// Run entry with the real path of the program, stored as ReadUserString
// insists.
TEST_F(OptionsProtectionTest, StoredProtectionStopsTheServiceAndTheSwitchTurnsItOffAndOn) {
  ASSERT_NO_FATAL_FAILURE(
      StartProgram({.presets = {{kOptionsKey, L"mess", L"1"}, {kOptionsKey, L"StartUp", L"1"}}}));
  EXPECT_EQ(Send(Control(kIdChkmess), BM_GETCHECK), static_cast<DWORD_PTR>(BST_CHECKED));
  ASSERT_TRUE(CaptionBecomes(kProtected));
  const HWND caption = Control(kIdLabel2), picture = Control(kIdPicture1);
  const HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &OnNameChange,
                      program_.Pid(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  EXPECT_FALSE(Announced(caption, kQuietPeriod) || Announced(picture, Millis{0}));
  for (int clicks = 0; clicks < 3; ++clicks) {
    const bool on = clicks != 1;  // as stored, then off, then on again
    const wchar_t* status = on ? kProtected : kNotProtected;
    SCOPED_TRACE(Narrow(status));
    name_changes.clear();
    ASSERT_TRUE(clicks == 0 || Click(Control(kIdChkmess)));
    ASSERT_TRUE(CaptionBecomes(status));
    EXPECT_TRUE(clicks == 0 || (Announced(caption) && Announced(picture, Millis{0})));
    EXPECT_EQ(WindowText(picture), status);
    EXPECT_TRUE(Shows(on ? kGreen : kRed));
    EXPECT_EQ(TestServiceState(), on ? SERVICE_STOPPED : SERVICE_RUNNING);
    EXPECT_EQ(TestServiceStartType(), on ? SERVICE_DEMAND_START : SERVICE_AUTO_START);
  }
  UnhookWinEvent(hook);
  EXPECT_TRUE(DrawnSmoothly());

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
  ASSERT_TRUE(SetTestServiceStartType(SERVICE_DISABLED));
  ASSERT_NO_FATAL_FAILURE(StartProgram({.presets = {{kOptionsKey, L"mess", L"1"}}}));
  EXPECT_TRUE(CaptionBecomes(kProtected));
  EXPECT_EQ(TestServiceState(), SERVICE_STOPPED);
  EXPECT_EQ(TestServiceStartType(), SERVICE_DISABLED);

  ASSERT_TRUE(SetTestServiceStartType(SERVICE_DEMAND_START));
  ASSERT_TRUE(StartTestService());
  ASSERT_TRUE(MarkTestServiceForDeletion());
  ASSERT_TRUE(Click(Control(kIdChkmess)));  // off: it runs, as asked
  ASSERT_TRUE(CaptionBecomes(kNotProtected));
  ASSERT_TRUE(Click(Control(kIdChkmess)));  // on: it is stopped, and goes
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

// A request that fails changes nothing that the user is not told of: after a
// Retry that fails again and Cancel, the service is where it was and starts
// as it did (a disabled one stays disabled), and the switch and its status
// say where it is.
TEST_F(OptionsProtectionTest, AFailedStopOrStartLeavesTheServiceAndItsStartTypeAsTheyWere) {
  using enum TestServiceMode;
  const std::pair<TestServiceMode, DWORD> rows[] = {{kRefusesStop, SERVICE_AUTO_START},
                                                    {kRefusesStop, SERVICE_DISABLED},
                                                    {kFailsStart, SERVICE_DISABLED},
                                                    {kFailsStart, SERVICE_DEMAND_START}};
  for (const auto& [mode, start_type] : rows) {
    SCOPED_TRACE(testing::Message() << "mode " << int(mode) << ", start type " << start_type);
    // The click turns protection on (a stop) or off (a start).
    const bool stop = mode == kRefusesStop;
    ASSERT_EQ(InstallTestService(150, SERVICE_DEMAND_START, mode), 0u);
    ASSERT_TRUE(!stop || StartTestService());
    ASSERT_TRUE(SetTestServiceStartType(start_type));
    ASSERT_NO_FATAL_FAILURE(
        StartProgram({.presets = {{kOptionsKey, L"mess", stop ? L"0" : L"1"}}}));
    ASSERT_TRUE(Click(Control(kIdChkmess)));
    for (const int answer : {IDRETRY, IDCANCEL}) {
      const auto box = program_.WaitForMessageBox();
      ASSERT_TRUE(box.has_value() && ProgramUnderTest::Answer(*box, answer));
    }
    EXPECT_TRUE(CaptionBecomes(stop ? kNotProtected : kProtected));
    EXPECT_EQ(TestServiceState(), stop ? SERVICE_RUNNING : SERVICE_STOPPED);
    EXPECT_EQ(TestServiceStartType(), start_type);
  }
}

}  // namespace
}  // namespace quellnet::e2e
