// In-memory controls and main window for the logic's unit tests. They behave
// like the real ones where the logic relies on it: a check box set that
// changes the value raises the click handler, a state change raises resize.
// What they show is kept in plain fields for the tests to read.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/main_window.h"

namespace quellnet::fakes {

struct FakeCheckBox final : platform::CheckBox {
  platform::CheckValue Value() const override { return value; }
  bool SetValue(int new_value) override {
    if (new_value < 0 || new_value > 2) {
      return false;
    }
    const bool changed = new_value != value;
    value = static_cast<platform::CheckValue>(new_value);
    if (changed && on_click) {
      on_click();
    }
    return true;
  }
  // What a user's click does: toggle between 0 and 1, then raise the click.
  void UserClick() { SetValue(value == 1 ? 0 : 1); }

  platform::CheckValue value = 0;
  std::function<void()> on_click;
};

struct FakeLabel final : platform::Label {
  void SetCaption(std::wstring_view text) override { caption = text; }
  std::wstring caption;
};

struct FakeTextBox final : platform::TextBox {
  void SetText(std::wstring_view new_text) override { text = new_text; }
  std::wstring text;
};

// Every picture loads but the missing one, which leaves the picture shown
// before, as the real box does.
struct FakePictureBox final : platform::PictureBox {
  bool LoadPicture(const std::wstring& path) override {
    return path != missing && (picture = path, true);
  }
  void Clear() override { picture.clear(); }

  std::wstring picture;  // the path of the picture shown, empty for none
  std::wstring missing;
};

struct ShownMessage {
  std::wstring text;
  platform::MessageIcon icon;
  bool retry = false;  // offered Retry and Cancel, not OK
};

struct FakeMainWindow final : platform::MainWindow {
  platform::WindowState State() const override { return state; }
  void SetState(platform::WindowState new_state) override {
    state = new_state;
    // Restoring a hidden window shows it, as Win32 does.
    visible = visible || state == platform::WindowState::kNormal;
    if (on_resize) {
      on_resize();
    }
  }
  void Show() override { visible = true; }
  void Hide() override { visible = false; }
  void Unload() override {}  // the tests close the window through its handler
  // Windows may refuse the foreground, and nothing may depend on it: here it always does.
  bool SetForeground() override {
    ++foreground_requests;
    return false;
  }
  void PopupTrayMenu() override { foreground_requests_before_popup = foreground_requests; }
  // Calls nest: the window is busy until the outermost work is done.
  void SetBusy(bool now_busy) override { busy += now_busy ? 1 : busy > 0 ? -1 : 0; }
  bool KeepResponding(double done) override {
    progress.push_back(done);
    return turns_left < 0 || turns_left-- > 0;
  }
  void ShowMessage(std::wstring_view text, platform::MessageIcon icon) override {
    messages.push_back({std::wstring(text), icon});
    if (on_message) {
      on_message();
    }
  }
  bool AskRetry(std::wstring_view text, platform::MessageIcon icon) override {
    ShowMessage(text, icon);
    messages.back().retry = true;
    return retries-- > 0;
  }

  platform::WindowState state = platform::WindowState::kNormal;
  bool visible = true;
  std::function<void()> on_resize;
  // Runs while a message box is "on the screen", before it is dismissed.
  std::function<void()> on_message;
  int busy = 0;  // how many calls made it busy and have not ended yet
  // Every share of long work reported done; the program ends after
  // `turns_left` more turns (never when negative).
  std::vector<double> progress;
  int turns_left = -1;
  int foreground_requests = 0;
  int foreground_requests_before_popup = -1;  // -1: no menu popped up
  std::vector<ShownMessage> messages;
  int retries = 0;  // Retry answers before the first Cancel
};

}  // namespace quellnet::fakes
