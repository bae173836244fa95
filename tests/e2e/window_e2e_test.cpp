// The main window as a user meets it, compared with data/form1_as_seen.tsv:
// a description written from the design, not from the program's layout
// table, so that a wrong word, blank or place in that table shows here.
// Every control's class, kind, text and place, each page with what it shows
// and its Tab order, the tab captions, the tray menu and tip, and the title:
// on a screen of 144 DPI, then moved to one of 96.
#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "app/form1_layout.h"
#include "fixture.h"
#include "form1_as_seen.h"
#include "platform/win32/window/main_window_fonts_win32.h"
#include "platform/win32/window/readable_colour_win32.h"
#include "resource.h"
#include "tools/table.h"

// After <windows.h>.
#include <oleacc.h>

// Windows 10 1607 and later, and Wine; the headers name it for those only.
extern "C" __declspec(dllimport) BOOL WINAPI
    AdjustWindowRectExForDpi(RECT*, DWORD, BOOL, DWORD, UINT);

namespace quellnet::e2e {
namespace {

using namespace app;
using Row = tools::TableRow;

std::vector<Row> RowsOf(const std::vector<Row>& rows, const std::string& kind) {
  std::vector<Row> found;
  for (const Row& row : rows) {
    if (row[0] == kind) {
      found.emplace_back(row.begin() + 1, row.end());
    }
  }
  return found;
}

const std::map<std::string, int> kIds = {
    {"Image1", kIdImage1},     {"Line2", kIdLine2},      {"SSTab1", kIdSSTab1},
    {"Label3", kIdLabel3},     {"Label6", kIdLabel6},    {"Text1", kIdText1},
    {"Label2", kIdLabel2},     {"chkmess", kIdChkmess},  {"Picture1", kIdPicture1},
    {"Label4", kIdLabel4},     {"Frame1", kIdFrame1},    {"chkStartup", kIdChkStartup},
    {"Label5", kIdLabel5},     {"Label9", kIdLabel9},    {"chkHideOnStart", kIdChkHideOnStart},
    {"Label10", kIdLabel10},   {"Label7", kIdLabel7},    {"Label8", kIdLabel8},
    {"Command1", kIdCommand1}, {"Command2", kIdCommand2}};

// The button styles by which a user tells a button's kind.
const std::map<std::string, std::vector<LONG>> kButtonKinds = {
    {"check box", {BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE}},
    {"frame", {BS_GROUPBOX}},
    {"button", {BS_PUSHBUTTON, BS_DEFPUSHBUTTON}}};

// Whether `control` shows its text underlined: one of its rows has a line of
// one colour under nearly all of the text's width. Letters and the gaps
// between them never give one, nor do smoothed letters that touch, whose
// edges are blended colours, nor a control not painted yet, all one colour.
bool Underlined(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  const std::size_t width = std::max(rect.right - rect.left, 1L);
  const std::vector<DWORD> shown = ScreenPixels(control);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::vector<int> in_column(width);
  std::size_t longest = 0;
  for (std::size_t at = 0, run = 0; at < shown.size(); ++at) {
    const bool ink = shown[at] != RGB(GetBValue(face), GetGValue(face), GetRValue(face));
    in_column[at % width] |= ink;
    run = ink && at % width > 0 && shown[at] == shown[at - 1] ? run + 1 : ink;
    longest = std::max(longest, run);
  }
  const auto text_width = std::accumulate(in_column.begin(), in_column.end(), std::size_t{0});
  return longest > 0 && text_width < width && longest * 10 >= text_width * 9;
}

// What the system's accessibility interface tells a screen reader of a
// control's client area (or of its item `child`, 1 the first): its name
// without the spaces around it, its role and its state.
struct Heard {
  std::string name;
  long role = 0;
  long state = 0;
};

Heard HearOf(HWND control, long child = CHILDID_SELF) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object)))) {
    return {"(no accessible object)"};
  }
  VARIANT id{}, role{}, state{};
  id.vt = VT_I4;
  id.lVal = child;
  BSTR name = nullptr;
  std::string text = object->get_accName(id, &name) == S_OK ? Narrow(name ? name : L"") : "";
  SysFreeString(name);  // null: nothing to free
  object->get_accRole(id, &role);
  object->get_accState(id, &state);
  object->Release();
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  // A role or state told as text (a custom one) counts as none; the
  // process ends soon, and its texts with it.
  return {text, role.vt == VT_I4 ? role.lVal : 0, state.vt == VT_I4 ? state.lVal : 0};
}

// What a screen reader hears of the control `row[0]` against the name, role
// and state that the description gives it in `row[1]` to `row[3]`. Wine tells most
// controls only as a window's client area, named by its text (the tabs not
// at all), with no role and no read-only state: such a control's name is
// compared, except a tab's, and it is listed in `untold`. Windows tells
// every control with its own role.
void ExpectHeard(const Heard& heard, const Row& row, std::string& untold) {
  const bool plain = heard.role == ROLE_SYSTEM_CLIENT || heard.role == 0;
  untold += plain ? " " + row[0] : "";
  EXPECT_TRUE(row[1] == "*" ? !heard.name.empty()
                            : heard.name == row[1] || (plain && row[2] == "37"))
      << "named \"" << heard.name << '"';
  EXPECT_TRUE(plain || heard.role == std::stol(row[2])) << "role " << heard.role;
  // What a person operates is not read-only; statics are, on Windows.
  if (!plain && (row[3] == "read-only" || row[2] == "43" || row[2] == "44")) {
    EXPECT_EQ((heard.state & STATE_SYSTEM_READONLY) != 0, row[3] == "read-only");
  }
}

// An edge of the description's 96-DPI pixels at `dpi`: the program rounds
// from twips, so it may lie one pixel off the product.
void ExpectEdgeAt(long got, const std::string& at_96, int dpi, const std::string& what) {
  EXPECT_NEAR(got, std::stol(at_96) * dpi / 96.0, dpi == 96 ? 0 : 1) << what;
}

// With `whole`, the client area's size too.
void ExpectPlacesAt(HWND main, int dpi, const std::vector<Row>& rows, bool whole = true) {
  SCOPED_TRACE(std::to_string(dpi) + " DPI");
  RECT client{};
  ASSERT_TRUE(GetClientRect(main, &client));
  const Row title = RowsOf(rows, "title").at(0);
  if (whole) {
    ExpectEdgeAt(client.right, title[1], dpi, "client width");
    ExpectEdgeAt(client.bottom, title[2], dpi, "client height");
  }
  const Row underlined = RowsOf(rows, "underlined").at(0);
  for (const Row& control : RowsOf(rows, "control")) {
    // Where it lies in the client area, in the program's own pixels.
    HWND window = GetDlgItem(main, kIds.at(control[0]));
    RECT got{};
    GetWindowRect(window, &got);
    MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&got), 2);
    const long edges[] = {got.left, got.top, got.right, got.bottom};
    for (int edge = 0; edge < 4; ++edge) {
      ExpectEdgeAt(edges[edge], control[4 + edge], dpi,
                   control[0] + " edge " + std::to_string(edge));
    }
    // A shown label's text is underlined where the description says so,
    // once the window has painted it.
    const bool expected = std::count(underlined.begin(), underlined.end(), control[0]) == 1;
    if (control[2] == "label" && IsWindowVisible(window)) {
      EXPECT_TRUE(WaitUntil([&] { return Underlined(window) == expected; }))
          << control[0] << (expected ? " is not underlined" : " is underlined");
    }
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
  // The window paints after a change of DPI in its own time.
  const std::vector<DWORD> art_pixels = Pixels(dc.Get(), {0, 0, size.bmWidth, size.bmHeight});
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(banner) == art_pixels; }));
}

TEST_F(QuellnetTest, TheWindowShowsWhatItsDescriptionSaysAtEachDpi) {
  const std::vector<Row> rows = tools::TableRows(form1_as_seen_tsv);
  SeeUnscaledPixels();
  ASSERT_TRUE(SetScreenDpi(144));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  EXPECT_EQ(Narrow(WindowText(Main())), RowsOf(rows, "title").at(0)[0]);
  EXPECT_EQ(GetWindowLongW(Main(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_MINIMIZEBOX);
  ExpectPlacesAt(Main(), 144, rows);
  ExpectBannerDrawnFor(Control(kIdImage1), 144);

  const std::vector<std::string> tabs = RowsOf(rows, "tabs").at(0);
  HWND tab = Control(kIdSSTab1);
  EXPECT_EQ(Send(tab, TCM_GETITEMCOUNT), static_cast<LRESULT>(tabs.size()));
  // The tabs and each control of each page as a screen reader hears them
  // too, the controls on the page shown.
  std::string untold;
  for (std::size_t page = 0; page < tabs.size(); ++page) {
    // Its caption, read through the program's own memory.
    struct Item {
      TCITEMW item;
      wchar_t text[64];
    };
    Remote<Item> item(program_.Process());
    item.value = {{TCIF_TEXT, 0, 0, item.address->text, 64, 0, 0}, {}};
    EXPECT_NE(item.Send(tab, TCM_GETITEMW, page), 0u);
    item.value.text[63] = L'\0';
    EXPECT_EQ(Narrow(item.value.text), tabs[page]);
    ExpectHeard(HearOf(tab, static_cast<long>(page) + 1), {tabs[page], tabs[page], "37", "-"},
                untold);
  }
  for (const Row& order : RowsOf(rows, "taborder")) {
    SCOPED_TRACE(order[0]);
    const int page = static_cast<int>(std::find(tabs.begin(), tabs.end(), order[0]) - tabs.begin());
    ASSERT_TRUE(program_.SelectPage(page));
    for (const Row& control : RowsOf(rows, "control")) {
      SCOPED_TRACE(control[0]);
      HWND window = Control(kIds.at(control[0]));
      EXPECT_EQ(IsWindowVisible(window) != FALSE, control[3] == "window" || control[3] == order[0]);
      if (control[3] != order[0] && (control[3] != "window" || page != 0)) {
        continue;  // seen on another page
      }
      wchar_t class_name[64] = {};
      GetClassNameW(window, class_name, 64);
      EXPECT_EQ(Narrow(class_name), control[1]);
      const auto kind = kButtonKinds.find(control[2]);
      EXPECT_TRUE(kind == kButtonKinds.end() ||
                  std::count(kind->second.begin(), kind->second.end(),
                             GetWindowLongW(window, GWL_STYLE) & 0xF) == 1);
      EXPECT_TRUE(control[8] == "*" || Narrow(WindowText(window)) == control[8]);
      ExpectHeard(HearOf(window), {control[0], control[9], control[10], control[11]}, untold);
    }
    // The Tab key, from the tab strip where each page's round starts, visits
    // the page's stops in order and comes back to the strip.
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(Main()) == Control(kIdSSTab1); }));
    for (std::size_t step = 1; step < order.size(); ++step) {
      PressKeys({VK_TAB});
      EXPECT_TRUE(WaitUntil([&] {
        return FocusOf(Main()) == Control(kIds.at(order[1 + step % (order.size() - 1)]));
      })) << "step "
          << step;
    }
  }

  std::printf("Told only as a plain client area:%s\n", untold.c_str());
  // The items of the menu the tray icon's right-click opens. Wine lets no
  // other process read a menu, so they are read where the program takes
  // them from: the menu resource of its file.
  std::vector<std::string> items;
  const HMODULE file = LoadLibraryExW((std::wstring(kProgramDir) + L"\\quellnet.exe").c_str(),
                                      nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HMENU menu = file != nullptr ? LoadMenuW(file, MAKEINTRESOURCEW(IDR_MENUTRAY)) : nullptr;
  HMENU popup = menu != nullptr ? GetSubMenu(menu, 0) : nullptr;
  for (int item = 0; popup != nullptr && item < GetMenuItemCount(popup); ++item) {
    wchar_t text[64] = {};
    GetMenuStringW(popup, item, text, 64, MF_BYPOSITION);
    const bool is_default = GetMenuDefaultItem(popup, TRUE, 0) == static_cast<UINT>(item);
    items.push_back(Narrow(text) + (is_default ? " (default)" : ""));
  }
  DestroyMenu(menu);  // where either is null, the call fails with nothing to free
  FreeLibrary(file);
  EXPECT_EQ(items, RowsOf(rows, "menu").at(0));
  const std::vector<ShownIcon> icons = ShownIcons();
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(Narrow(icons[0].tip), RowsOf(rows, "tip").at(0)[0]);

  // Before a move to a monitor of 96 DPI, Windows asks the window for its
  // size there (WM_GETDPISCALEDSIZE): the design's client area at 96 DPI in
  // the frame the system draws at 96 DPI. Moved there, the window takes the
  // rectangle the system suggests and lays itself out again, fonts too. Wine
  // has one DPI for all monitors and sends neither message, so the test
  // sends what Windows would, each structure in the program's own memory.
  const Row title = RowsOf(rows, "title").at(0);
  RECT design{0, 0, std::stoi(title[1]), std::stoi(title[2])};
  ASSERT_TRUE(AdjustWindowRectExForDpi(&design, GetWindowLongW(Main(), GWL_STYLE), FALSE, 0, 96));
  Remote<SIZE> answer(program_.Process());
  EXPECT_TRUE(answer.Send(Main(), 0x02E4 /* WM_GETDPISCALEDSIZE */, 96));
  EXPECT_EQ(answer.value.cx, design.right - design.left);
  EXPECT_EQ(answer.value.cy, design.bottom - design.top);
  const auto strip_height = [&] {
    Remote<RECT> item(program_.Process());
    return item.Send(tab, TCM_GETITEMRECT, 0) ? item.value.bottom - item.value.top : 0;
  };
  const long strip_at_144 = strip_height();
  for (const int dpi : {96, 192}) {
    RECT window{}, client{};
    ASSERT_TRUE(GetWindowRect(Main(), &window) && GetClientRect(Main(), &client));
    // At the screen's left edge, the caption a little above its top, so that
    // at 200 % the tests' screen (1024 x 768; a control partly off it is not
    // seen at all) still shows the link at the client area's foot.
    const RECT suggested{
        0, -8, window.right - window.left - client.right + std::stoi(title[1]) * dpi / 96,
        window.bottom - window.top - client.bottom + std::stoi(title[2]) * dpi / 96 - 8};
    Remote<RECT>(program_.Process(), suggested)
        .Send(Main(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi));
    ASSERT_TRUE(GetWindowRect(Main(), &window));
    // The system keeps a window within the size of the screen, which for the
    // tests' 1024 x 768 is too small at 200 %: there the window's size is
    // left out, and the controls' places are compared all the same.
    const bool fits = suggested.bottom - suggested.top <= GetSystemMetrics(SM_CYMAXTRACK);
    EXPECT_TRUE(!fits || EqualRect(&window, &suggested));
    std::printf("%s", fits ? "" : "The screen is too small for the window: size not compared\n");
    ExpectPlacesAt(Main(), dpi, rows, fits);
    ExpectBannerDrawnFor(Control(kIdImage1), dpi);
    EXPECT_GT(strip_height(), 0);
    EXPECT_EQ(strip_height() < strip_at_144, dpi < 144) << "the tabs kept the font of 144 DPI";
  }
}

// Ctrl+Tab and Ctrl+PageDown turn to the next page, Ctrl+Shift+Tab and
// Ctrl+PageUp to the one before, round the ends, wherever the focus is: on
// the tab strip it stays, from a page it goes to the new page's first stop.
// Esc does nothing, as the window has nothing to cancel and its close box
// ends the program. Typing on the address, which is read-only, changes
// nothing either.
TEST_F(QuellnetTest, CtrlTabAndCtrlPageTurnThePagesFromAnywhereAndEscDoesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(Main()) == Control(kIdSSTab1); }));
  const std::wstring address = WindowText(Control(kIdText1));
  const std::tuple<const char*, std::vector<BYTE>, int, int> presses[] = {
      {"Ctrl+Tab on the tab strip", {VK_CONTROL, VK_TAB}, 1, kIdSSTab1},
      {"Tab", {VK_TAB}, 1, kIdChkHideOnStart},
      {"Ctrl+PageDown", {VK_CONTROL, VK_NEXT}, 2, kIdCommand1},
      {"Ctrl+Tab", {VK_CONTROL, VK_TAB}, 0, kIdChkmess},
      {"Tab", {VK_TAB}, 0, kIdText1},
      {"typing on the read-only address", {VK_BACK, 'X'}, 0, kIdText1},
      {"Ctrl+Shift+Tab", {VK_CONTROL, VK_SHIFT, VK_TAB}, 2, kIdCommand1},
      {"Ctrl+PageUp", {VK_CONTROL, VK_PRIOR}, 1, kIdChkHideOnStart},
      {"Esc", {VK_ESCAPE}, 1, kIdChkHideOnStart}};
  for (const auto& [name, keys, page, focus] : presses) {
    SCOPED_TRACE(name);
    PressKeys(keys);
    EXPECT_TRUE(WaitUntil([&] {
      return FocusOf(Main()) == Control(focus) && CurrentTab(Control(kIdSSTab1)) == page;
    }));
  }
  // Esc, the last key, finds page and focus as they were at once; given
  // time, it still has changed nothing.
  Sleep(static_cast<DWORD>(kQuietPeriod.count()));
  EXPECT_TRUE(IsWindowVisible(Main()) && CurrentTab(Control(kIdSSTab1)) == 1 &&
              FocusOf(Main()) == Control(kIdChkHideOnStart));
  EXPECT_EQ(WindowText(Control(kIdText1)), address) << "typing changed the address";
}

// The fonts the program makes for the window, measured in this process:
// at 96 DPI the design's "MS Sans Serif", 8.25 pt (11 pixels) and 9.75 pt
// bold (13); at 150 % and 200 % characters as tall as those sizes there
// (16.5 and 19.5 pixels round up; a TrueType face's ascent and descent are
// rounded each, which may cost a pixel) and texts 1.5 and 2 times as wide,
// whatever face stands in for the raster face's missing sizes. A stand-in
// wider than the design is narrowed by whole pixels of its average width,
// steps of about a tenth of a text's width, so it may end up to 8 % narrower.
TEST(WindowFonts, TextGrowsWithTheScreenAndKeepsTheDesignsWidths) {
  const std::tuple<Form1ControlId, std::wstring, std::array<long, 3>> rows[] = {
      {kIdLabel6, L"Your Current IP Address:", {11, 17, 22}},
      {kIdChkmess, L"  Enable Protection Now !", {13, 20, 26}}};
  for (const auto& [id, text, heights] : rows) {
    long width_at_96 = 0;
    for (const int dpi : {96, 144, 192}) {
      SCOPED_TRACE(Narrow(text) + " at " + std::to_string(dpi) + " DPI");
      platform::win32::ControlFonts fonts;
      fonts.Apply(nullptr, kFontFace, kControls, dpi, false);
      const platform::win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
      SelectObject(dc.Get(), fonts.FontOf(FindControl(id)->font));
      SIZE size{};
      TEXTMETRICW metrics{};
      wchar_t face[LF_FACESIZE] = {};
      GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
      GetTextMetricsW(dc.Get(), &metrics);
      GetTextFaceW(dc.Get(), LF_FACESIZE, face);
      if (dpi == 96) {
        EXPECT_EQ(Narrow(face), "MS Sans Serif");
        width_at_96 = size.cx;
      }
      EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading, heights[dpi / 48 - 2],
                  dpi == 96 ? 0 : 1);
      EXPECT_NEAR(size.cx * 96.0 / dpi, width_at_96, width_at_96 * 0.08);
    }
  }
}

// A font that can't be made at the new DPI leaves its controls with the
// font they have, which stays; the fonts no control uses any more go.
TEST(WindowFonts, AFontThatCannotBeMadeLeavesItsControlsTheFontTheyHave) {
  static bool bold_fails = false;
  platform::win32::ControlFonts fonts([](const LOGFONTW& font) {
    return bold_fails && font.lfWeight == FW_BOLD ? nullptr : CreateFontIndirectW(&font);
  });
  const auto font_of = [&](Form1ControlId id) { return fonts.FontOf(FindControl(id)->font); };
  fonts.Apply(nullptr, kFontFace, kControls, 96, false);
  const HFONT plain = font_of(kIdLabel6);
  const HFONT bold = font_of(kIdLabel9);
  bold_fails = true;
  fonts.Apply(nullptr, kFontFace, kControls, 144, false);
  // The bold labels keep their font; the plain ones have a new one, and the
  // old plain font is gone.
  EXPECT_TRUE(font_of(kIdLabel9) == bold && GetObjectType(bold) == OBJ_FONT);
  EXPECT_TRUE(font_of(kIdLabel6) != plain && GetObjectType(plain) == 0);
}

// The link keeps its blue where it can be read and no high-contrast scheme
// is on; under any such scheme, a light one too, and on a face it would
// hardly stand out from (less than 4.5 : 1, which a grey of 188 reaches), it
// takes the scheme's link colour. Setting a scheme's colours, as the test
// below does, turns no high contrast on: the choice is tested here.
TEST(LinkColour, TheLinkKeepsItsBlueOnlyWhereItCanBeReadAndNoHighContrastSchemeIsOn) {
  const COLORREF blue = RGB(0, 0, 255);
  const COLORREF scheme_link = RGB(255, 255, 0);
  const std::tuple<COLORREF, bool, COLORREF> rows[] = {
      {RGB(240, 240, 240), false, blue},  {RGB(255, 255, 255), true, scheme_link},
      {RGB(190, 190, 190), false, blue},  {RGB(185, 185, 185), false, scheme_link},
      {RGB(0, 0, 0), false, scheme_link}, {RGB(0, 0, 0), true, scheme_link}};
  for (const auto& [face, high_contrast, expected] : rows) {
    EXPECT_EQ(platform::win32::ReadableColour(blue, face, scheme_link, high_contrast), expected)
        << std::hex << face << (high_contrast ? " high contrast" : "");
  }
}

// Under a black high-contrast scheme the link takes the scheme's link
// colour; blue on black can hardly be read. Wine gives a running program no
// colours that another one set, so the scheme is chosen before the start.
// Last: the scheme stays for the rest of the test program.
TEST_F(QuellnetTest, TheLinkTakesTheSchemesLinkColourOnABlackScheme) {
  // White text, yellow links on black.
  const int elements[] = {COLOR_BTNFACE,    COLOR_WINDOW,    COLOR_BTNTEXT,
                          COLOR_WINDOWTEXT, COLOR_3DHILIGHT, COLOR_HOTLIGHT};
  const COLORREF colours[] = {0, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, RGB(255, 255, 0)};
  ASSERT_TRUE(SetSysColors(6, elements, colours));
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
