// The main window as the real program builds it from its layout table and as
// the user works it: every control in its place with its text, the tab pages
// and the Tab key, on the common controls its manifest asks for.
#include <algorithm>
#include <string>
#include <vector>

#include "fixture.h"
#include "platform/form1_layout.h"

// After <windows.h>, which fixture.h brings in.
#include <psapi.h>

namespace quellnet::e2e {
namespace {

using namespace platform;

class WindowTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
  }
};

// The controls come from version 6 of the common controls, of the program's
// own architecture, from the side-by-side store. A manifest dependency that
// names another architecture is silently not met, and the program then gets
// the old version 5 from the system folder.
TEST_F(WindowTest, EveryControlIsInItsPlaceWithItsTextOnVersion6CommonControls) {
  EXPECT_EQ(WindowText(Main()), L"Corvane Quellnet 2.1");
  RECT client{};
  ASSERT_TRUE(GetClientRect(Main(), &client));
  EXPECT_EQ(client.right, 383);
  EXPECT_EQ(client.bottom, 378);
  EXPECT_EQ(GetWindowLongW(Main(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_MINIMIZEBOX);
  for (const layout::ControlLayout& expected : layout::kControls) {
    SCOPED_TRACE("control " + std::to_string(expected.id));
    HWND control = Control(expected.id);
    ASSERT_NE(control, nullptr);
    const layout::PixelRect want = layout::ControlPixels(expected, 96, 96);
    RECT got{};
    GetWindowRect(control, &got);
    MapWindowPoints(HWND_DESKTOP, Main(), reinterpret_cast<POINT*>(&got), 2);
    EXPECT_NEAR(got.left, want.left, 1);
    EXPECT_NEAR(got.top, want.top, 1);
    EXPECT_NEAR(got.right, want.right(), 1);
    EXPECT_NEAR(got.bottom, want.top + want.height, 1);
    if (!expected.text.empty()) {
      EXPECT_EQ(WindowText(control), expected.text);
    }
  }
  // Screen readers name a field that has no caption of its own from the
  // static text just before it in the z-order.
  EXPECT_EQ(GetWindow(Control(kIdText1), GW_HWNDPREV), Control(kIdLabel6));

  std::vector<HMODULE> modules(1024);
  DWORD needed = 0;
  ASSERT_TRUE(EnumProcessModules(program_.Process(), modules.data(),
                                 static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed));
  std::wstring comctl;
  for (std::size_t i = 0; i < needed / sizeof(HMODULE) && i < modules.size(); ++i) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameExW(program_.Process(), modules[i], path, MAX_PATH);
    const std::wstring lower = CharLowerW(path);
    comctl = lower.ends_with(L"\\comctl32.dll") ? lower : comctl;
  }
  const wchar_t* own = sizeof(void*) == 8
                           ? L"\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."
                           : L"\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.";
  EXPECT_NE(comctl.find(own), std::wstring::npos) << Narrow(comctl);
}

// Each page shows only its own controls and keeps their values; its visible
// tab stops come round in order, from wherever the focus starts.
TEST_F(WindowTest, EachPageShowsItsControlsKeepsTheirValuesAndTheTabKeyGoesRoundThem) {
  ASSERT_TRUE(program_.SelectPage(1));
  for (int id : {kIdChkStartup, kIdChkHideOnStart}) {
    ASSERT_NO_FATAL_FAILURE(Toggle(id));
  }
  const auto focus = [&] {
    GUITHREADINFO info{sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(Main(), nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
  };
  const std::vector<int> tab_order = {kIdSSTab1, kIdChkmess,  kIdChkHideOnStart, kIdChkStartup,
                                      kIdText1,  kIdCommand1, kIdCommand2};
  for (int page : {2, 0, 1}) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_TRUE(program_.SelectPage(page));
    for (const layout::ControlLayout& control : layout::kControls) {
      // The page numbers are the tab control's; kNone (-1) is on the window.
      const int shown_on = static_cast<int>(control.page);
      EXPECT_EQ(IsWindowVisible(Control(control.id)) != FALSE, shown_on == -1 || shown_on == page)
          << "control " << control.id;
    }
    std::vector<HWND> order;
    for (int id : tab_order) {
      if (IsWindowVisible(Control(id))) {
        order.push_back(Control(id));
      }
    }
    ASSERT_EQ(order.size(), 3u);
    std::size_t at = order.size();
    for (std::size_t step = 0; step <= order.size(); ++step) {
      HWND before = focus();
      ASSERT_TRUE(PressKey(before != nullptr ? before : Main(), VK_TAB));
      WaitUntil([&] { return focus() != before; }, Millis(3000));
      if (step == 0) {  // the first press only finds where the round starts
        at = std::find(order.begin(), order.end(), focus()) - order.begin();
        ASSERT_LT(at, order.size()) << "Tab moved the focus off the page's stops";
      } else {
        EXPECT_EQ(focus(), order[(at + step) % order.size()]) << "step " << step;
      }
    }
  }
  EXPECT_EQ(CheckState(Control(kIdChkStartup)), BST_CHECKED);
  EXPECT_EQ(CheckState(Control(kIdChkHideOnStart)), BST_CHECKED);
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_UNCHECKED);
}

}  // namespace
}  // namespace quellnet::e2e
