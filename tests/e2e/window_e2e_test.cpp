// The main window as the real program builds it from its layout table and as
// the user works it: every control in its place on a screen of 144 DPI, and
// again when moved to one of another DPI, with its text, the tab pages and
// the Tab key.
#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "fixture.h"
#include "platform/form1_layout.h"

namespace quellnet::e2e {
namespace {

using namespace platform;

// The height of the tab strip, which the tab control takes from its font.
int TabStripHeight(HANDLE process, HWND tab) {
  const RemoteMemory remote(process, sizeof(RECT));
  RECT item{};
  return Send(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(remote.address)) &&
                 remote.Read(&item, sizeof item)
             ? item.bottom - item.top
             : 0;
}

std::array<LONG, 4> Edges(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// The client area and every control where the layout puts them at `dpi`,
// to the pixel: the window makes them from that very arithmetic, which the
// unit tests check against the design at every DPI.
void ExpectLaidOutAt(HWND main, int dpi) {
  SCOPED_TRACE(std::to_string(dpi) + " DPI");
  const layout::PixelRect client = layout::ClientPixels(dpi);
  RECT got{};
  ASSERT_TRUE(GetClientRect(main, &got));
  EXPECT_EQ(Edges(got), Edges({0, 0, client.width, client.height}));
  for (const layout::ControlLayout& control : layout::kControls) {
    const layout::PixelRect want = layout::ControlPixels(control, dpi);
    GetWindowRect(GetDlgItem(main, control.id), &got);
    MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(Edges(got), Edges({want.left, want.top, want.right(), want.bottom()}))
        << "control " << control.id;
  }
}

// The banner on the screen is the artwork the program carries for that DPI
// (its bitmap resource BANNER<dpi>) pixel for pixel, not a smaller one
// stretched.
void ExpectBannerDrawnFor(HWND banner, int dpi) {
  SCOPED_TRACE("banner at " + std::to_string(dpi) + " DPI");
  const HMODULE program =
      LoadLibraryExW(L"C:\\Quellnet\\quellnet.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const platform::win32::UniqueGdiObject art(
      LoadImageW(program, (L"BANNER" + std::to_wstring(dpi)).c_str(), IMAGE_BITMAP, 0, 0, 0));
  FreeLibrary(program);
  BITMAP size{};
  ASSERT_TRUE(art && GetObjectW(art.Get(), sizeof size, &size)) << "no artwork for this DPI";
  const platform::win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  SelectObject(dc.Get(), art.Get());
  EXPECT_TRUE(ScreenPixels(banner) == Pixels(dc.Get(), {0, 0, size.bmWidth, size.bmHeight}));
}

// A screen of 144 DPI (150 %). Each page shows only its own controls, and
// its tab stops come round in order.
TEST_F(QuellnetTest, EveryControlInPlaceAtEachDpiAndEachPageWithItsTabStops) {
  SeeUnscaledPixels();
  ASSERT_TRUE(SetScreenDpi(144));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  EXPECT_EQ(WindowText(Main()), L"Corvane Quellnet 2.1");
  ExpectLaidOutAt(Main(), 144);
  ExpectBannerDrawnFor(Control(kIdImage1), 144);
  EXPECT_EQ(GetWindowLongW(Main(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_MINIMIZEBOX);
  // Screen readers name a field that has no caption of its own from the
  // static text just before it in the z-order.
  EXPECT_EQ(GetWindow(Control(kIdText1), GW_HWNDPREV), Control(kIdLabel6));

  // Each page's stops in the Tab order SSTab1, chkmess, chkHideOnStart,
  // chkStartup, Text1, Command1, Command2, less those of the other pages. A
  // round starts and ends on the tab strip, which every page keeps.
  const std::pair<int, std::vector<int>> pages[] = {
      {2, {kIdSSTab1, kIdCommand1, kIdCommand2}},
      {0, {kIdSSTab1, kIdChkmess, kIdText1}},
      {1, {kIdSSTab1, kIdChkHideOnStart, kIdChkStartup}}};
  for (const auto& [page, stops] : pages) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_TRUE(program_.SelectPage(page));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(Main()) == Control(kIdSSTab1); }));
    for (std::size_t step = 1; step <= stops.size(); ++step) {
      PressKeys({VK_TAB});
      EXPECT_TRUE(WaitUntil([&] { return FocusOf(Main()) == Control(stops[step % stops.size()]); },
                            Millis(3000)))
          << "step " << step;
    }
  }

  // Moved to a monitor of 120 DPI, the window takes the rectangle the system
  // suggests and lays itself out again, fonts too. Wine has one DPI for all
  // monitors and never sends WM_DPICHANGED, so the test sends what Windows
  // would, the rectangle in the program's own memory.
  const int tabs_at_144 = TabStripHeight(program_.Process(), Control(kIdSSTab1));

  RECT window{};
  RECT client{};
  ASSERT_TRUE(GetWindowRect(Main(), &window) && GetClientRect(Main(), &client));
  const layout::PixelRect client_at_120 = layout::ClientPixels(120);
  const RECT suggested{40, 30, 40 + window.right - window.left - client.right + client_at_120.width,
                       30 + window.bottom - window.top - client.bottom + client_at_120.height};
  const RemoteMemory remote(program_.Process(), sizeof suggested);
  ASSERT_TRUE(remote.Write(&suggested, sizeof suggested));
  Send(Main(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(120, 120),
       reinterpret_cast<LPARAM>(remote.address));

  ASSERT_TRUE(GetWindowRect(Main(), &window));
  EXPECT_EQ(Edges(window), Edges(suggested));
  ExpectLaidOutAt(Main(), 120);
  ExpectBannerDrawnFor(Control(kIdImage1), 120);
  const int tabs_at_120 = TabStripHeight(program_.Process(), Control(kIdSSTab1));
  EXPECT_GT(tabs_at_120, 0);
  EXPECT_LT(tabs_at_120, tabs_at_144) << "the tabs kept the font of 144 DPI";
}

// Ctrl+Tab and Ctrl+PageDown turn to the next page, Ctrl+Shift+Tab and
// Ctrl+PageUp to the one before, round the ends, wherever the focus is: on
// the tab strip it stays, from a page it goes to the new page's first stop.
// Esc does nothing, as the window has nothing to cancel and its close box
// ends the program.
TEST_F(QuellnetTest, CtrlTabAndCtrlPageTurnThePagesFromAnywhereAndEscDoesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(Main()) == Control(kIdSSTab1); }));
  const std::tuple<const char*, std::vector<BYTE>, int, int> presses[] = {
      {"Ctrl+Tab on the tab strip", {VK_CONTROL, VK_TAB}, 1, kIdSSTab1},
      {"Tab", {VK_TAB}, 1, kIdChkHideOnStart},
      {"Ctrl+PageDown", {VK_CONTROL, VK_NEXT}, 2, kIdCommand1},
      {"Ctrl+Tab", {VK_CONTROL, VK_TAB}, 0, kIdChkmess},
      {"Ctrl+Shift+Tab", {VK_CONTROL, VK_SHIFT, VK_TAB}, 2, kIdCommand1},
      {"Ctrl+PageUp", {VK_CONTROL, VK_PRIOR}, 1, kIdChkHideOnStart},
      {"Esc", {VK_ESCAPE}, 1, kIdChkHideOnStart}};
  for (const auto& [name, keys, page, focus] : presses) {
    SCOPED_TRACE(name);
    PressKeys(keys);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(Main()) == Control(focus); }, Millis(3000)));
    EXPECT_EQ(CurrentTab(Control(kIdSSTab1)), page);
  }
}

// Under a black high-contrast scheme the link takes the scheme's link
// colour; blue on black can hardly be read. Wine gives a running program no
// colours that another one set, so the scheme is chosen before the start.
// Last: the scheme stays for the rest of the test program.
TEST_F(QuellnetTest, TheLinkTakesTheSchemesLinkColourOnABlackScheme) {
  ASSERT_TRUE(UseBlackScheme());
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const auto count = [&](DWORD colour) {
    const std::vector<DWORD> shown = ScreenPixels(Control(kIdLabel3));
    return std::count(shown.begin(), shown.end(), colour);
  };
  EXPECT_TRUE(WaitUntil([&] { return count(0xFFFF00) > 20; }));  // its yellow
  EXPECT_EQ(count(0x0000FF), 0) << "blue is left";
}

}  // namespace
}  // namespace quellnet::e2e
