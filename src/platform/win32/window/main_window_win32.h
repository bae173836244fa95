// The table-driven main window: the top-level window with every control of its layout
// table as its direct child, the tray's pop-up menu, and the dispatch of its
// messages to the window's events.
#pragma once

#include <exception>
#include <map>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include <windows.h>

#include "platform/main_window.h"
#include "platform/window_events.h"
#include "platform/window_layout.h"
#include "platform/win32/window/main_window_access_win32.h"
#include "platform/win32/window/main_window_controls_win32.h"
#include "platform/win32/system/handles.h"
#include "platform/win32/window/main_window_fonts_win32.h"
#include "platform/win32/process/program.h"
#include "platform/win32/shell/taskbar_progress_win32.h"

namespace quellnet::platform::win32 {

// Tells a debugger (or DebugView) that a handler of the program named
// `program` was ended by `what`.
void ReportHandlerFailure(std::wstring_view program, const char* what) noexcept;

class TableMainWindow final : public MainWindow, public WindowControls {
  struct Key {};

 public:
  // Registers the class and creates the window, hidden, with every control
  // of `layout` and the first page selected. nullptr when that fails, and
  // `error` is then the system's code for why (0 where it gave none). The
  // layout's table and texts must outlive the window.
  static std::unique_ptr<TableMainWindow> Create(HINSTANCE instance,
                                                 const layout::WindowLayout& layout, DWORD& error);

  // Use Create.
  explicit TableMainWindow(Key) {}
  ~TableMainWindow() override;
  TableMainWindow(const TableMainWindow&) = delete;
  TableMainWindow& operator=(const TableMainWindow&) = delete;

  // Null once the window has been destroyed.
  HWND Handle() const { return window_; }
  // The icon for the notification area, at the size the taskbar draws it.
  HICON TrayIcon() const { return tray_icon_.Get(); }

  // Where the window's events go from now on; nullptr for nowhere.
  void SetEvents(WindowEvents* events) { events_ = events; }
  // Raises Form_Load; the window is still hidden.
  void Load();
  // Gives the message to the window's keyboard handling (Tab between the
  // controls, the tab control's arrows, Ctrl+Tab and Ctrl+PageDown and their
  // reverse between the pages); true when it was used up there.
  bool PreTranslate(MSG& message);

  // WindowControls
  CheckBox* CheckBoxAt(int id) override { return Find(check_boxes_, id); }
  Label* LabelAt(int id) override { return Find(labels_, id); }
  TextBox* TextBoxAt(int id) override { return Find(text_boxes_, id); }
  PictureBox* PictureBoxAt(int id) override { return Find(picture_boxes_, id); }

  // MainWindow
  WindowState State() const override;
  void SetState(WindowState state) override;
  void Show() override;
  void Hide() override;
  void Unload() override;
  bool SetForeground() override;
  void PopupTrayMenu() override;
  void SetBusy(bool busy) override;
  bool KeepResponding(double done) override;
  void ShowMessage(std::wstring_view text, MessageIcon icon) override;
  bool AskRetry(std::wstring_view text, MessageIcon icon) override;

  // Waits `milliseconds` while the window goes on handling what arrives,
  // for a wait inside long work (the service control's). False as soon as
  // the program is ending: the work then stops waiting.
  bool WaitResponding(DWORD milliseconds);

 private:
  // Minimise and close buttons only, and a border that does not resize.
  static constexpr DWORD kStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // False, with the system's code in `error`, when a control can't be made.
  bool CreateControls(HINSTANCE instance, DWORD& error);
  // Keeps the controls the application reads and writes, by kind and id.
  void AttachControls();
  // The window's icons at the sizes the system asks for at `dpi_`.
  void LoadWindowIcons();
  // Every control's font, made at `dpi_`, and the tabs' size that follows.
  void ApplyFonts();
  // Moved to another screen density: the whole layout again at `dpi`, and
  // the window takes the rectangle the system suggests for it.
  void OnDpiChanged(int dpi, const RECT& suggested);
  // The window's outer size for the layout's client area at `dpi`.
  SIZE OuterSize(int dpi) const;
  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  const layout::ControlLayout* Layout(int id) const {
    return layout::FindControl(layout_.controls, id);
  }
  template <typename Wrapper>
  static Wrapper* Find(std::map<int, Wrapper>& controls, int id) {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : &found->second;
  }
  // The banner drawn for `dpi_`, or the nearest larger one.
  void LoadBanner();
  // Shows the controls of `page` and hides those of the other pages.
  void ShowPage(int page);
  int CurrentPage() const;
  // Turns `step` pages on (or back, for -1), round the ends.
  void TurnPage(int step);
  // The page's first control in the Tab key's order.
  HWND FirstStopOn(int page) const;
  // Keeps the control that has the focus, to give it back later.
  void KeepFocus();
  // Gives the focus back to the control that last had it, or to the shown
  // page's first one, when the window is active, shown and restored and
  // none of its controls has it.
  void GiveFocusBack();
  void OnCommand(int id, int code, HWND control);
  LRESULT OnControlColour(HDC dc, HWND control);
  // The system's colours or its high-contrast setting changed.
  void OnSchemeChanged(WPARAM wparam, LPARAM lparam);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  bool OnSetCursor(HWND under_cursor, int hit_test);
  bool IsLink(HWND control) const;
  // Runs the unload handler once, then destroys the window (later when busy).
  // A close asked for during long work waits for the work instead.
  void UnloadFor(UnloadReason reason);
  // Runs the close that long work held up, once the work and every handler
  // around it have returned.
  void CloseIfAsked();
  // Dispatches every message waiting for this thread, as a modal loop does:
  // keys and clicks meant for the busy window are dropped.
  void HandlePending();
  bool IsInputToWindow(const MSG& message) const;
  // Destroys the window, which ends the message loop.
  void Destroy();
  // Shows a modal box with `buttons` (MB_OK, MB_RETRYCANCEL) and returns
  // the button chosen; 0 without a box once the window is unloaded or a
  // close waits for the work to end.
  int AskUser(std::wstring_view text, MessageIcon icon, UINT buttons);
  // Runs one handler of the events with `args`, unless the window is past
  // its unload. Every handler runs through here; the destruction of a
  // window unloaded while busy waits until the outermost handler returns.
  template <typename... Args>
  void Raise(void (WindowEvents::*handler)(Args...), std::type_identity_t<Args>... args);
  // Runs the window's own work that needs memory (not a handler) inside the
  // same boundary as the handlers: an error ends that work only.
  template <typename Work>
  void Guarded(Work&& work) noexcept {
    try {
      work();
    } catch (const std::exception& error) {
      ReportHandlerFailure(layout_.message_caption, error.what());
    }
  }

  HINSTANCE instance_ = nullptr;
  bool class_registered_ = false;
  HWND window_ = nullptr;
  layout::WindowLayout layout_{};
  // The id of the layout's tab control; 0 when it has none.
  int tab_id_ = 0;
  WindowEvents* events_ = nullptr;
  // The density the layout is drawn at: the DPI of the window's monitor.
  int dpi_ = 96;
  UniqueIcon big_icon_;
  UniqueIcon small_icon_;
  UniqueIcon tray_icon_;
  UniqueMenu tray_menu_;
  ControlFonts fonts_;
  UINT taskbar_created_ = 0;
  // The control that had the focus when the window last lost it.
  HWND focus_ = nullptr;
  // SetBusy(true) calls not yet balanced; handlers running, nested.
  int busy_depth_ = 0;
  int handler_depth_ = 0;
  // When long work last let the window handle its messages.
  DWORD last_turn_ = 0;
  TaskbarProgress taskbar_;
  bool destroy_pending_ = false;
  // WM_SIZE messages seen, so SetState knows whether one was raised.
  unsigned resizes_ = 0;
  bool unload_started_ = false;
  bool unloaded_ = false;
  // A close that came during long work, done once the work has returned.
  bool close_pending_ = false;

  // The controls the application reads and writes, by id.
  std::map<int, Win32CheckBox> check_boxes_;
  std::map<int, Win32Label> labels_;
  std::map<int, Win32TextBox> text_boxes_;
  std::map<int, Win32PictureBox> picture_boxes_;
  Win32PictureBox banner_;
  ControlAnnotations annotations_;
};

template <typename... Args>
inline void TableMainWindow::Raise(void (WindowEvents::*handler)(Args...),
                                   std::type_identity_t<Args>... args) {
  if (events_ == nullptr || unloaded_) {
    return;
  }
  // An error that a handler does not handle itself (such as no memory left
  // for a text) ends that handler, and only that one: the window goes on
  // with its next message, and an unload still destroys the window. The
  // exception must not travel on into Windows, whose frames it cannot unwind
  // through; the program would end. The handlers raise nothing but the
  // standard library's exceptions, so nothing else is caught.
  ++handler_depth_;
  try {
    (events_->*handler)(args...);
  } catch (const std::exception& error) {
    ReportHandlerFailure(layout_.message_caption, error.what());
  }
  if (--handler_depth_ == 0 && destroy_pending_) {
    destroy_pending_ = false;
    Destroy();
  }
  CloseIfAsked();
}

}  // namespace quellnet::platform::win32
