// In-memory controls and main window for the logic's unit tests. They behave
// like the real ones where the logic relies on it: a check box set that
// changes the value raises the click handler, a state change raises resize.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/main_window.h"

namespace quellnet::fakes {

class FakeCheckBox final : public platform::CheckBox {
 public:
  platform::CheckValue Value() const override { return value_; }
  bool SetValue(int value) override {
    if (value < 0 || value > 2) {
      return false;
    }
    if (value == value_) {
      return true;
    }
    value_ = static_cast<platform::CheckValue>(value);
    if (on_click) {
      on_click();
    }
    return true;
  }
  // What a user's click does: toggle between 0 and 1, then raise the click.
  void UserClick() { SetValue(value_ == 1 ? 0 : 1); }

  std::function<void()> on_click;

 private:
  platform::CheckValue value_ = 0;
};

class FakeLabel final : public platform::Label {
 public:
  std::wstring Caption() const override { return caption_; }
  void SetCaption(std::wstring_view caption) override { caption_ = caption; }

 private:
  std::wstring caption_;
};

class FakeTextBox final : public platform::TextBox {
 public:
  std::wstring Text() const override { return text_; }
  void SetText(std::wstring_view text) override { text_ = text; }

 private:
  std::wstring text_;
};

class FakePictureBox final : public platform::PictureBox {
 public:
  bool LoadPicture(const std::wstring& path) override {
    load_attempts.push_back(path);
    for (const auto& readable : readable_files) {
      if (readable == path) {
        picture_ = path;
        return true;
      }
    }
    return false;
  }
  void Clear() override { picture_.clear(); }
  bool HasPicture() const override { return !picture_.empty(); }
  // The path of the picture shown, empty for none.
  const std::wstring& picture() const { return picture_; }

  std::vector<std::wstring> readable_files;
  std::vector<std::wstring> load_attempts;

 private:
  std::wstring picture_;
};

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
  platform::MessageIcon icon;
};

class FakeMainWindow final : public platform::MainWindow {
 public:
  platform::WindowState State() const override { return state_; }
  void SetState(platform::WindowState state) override {
    state_ = state;
    if (state == platform::WindowState::kNormal) {
      visible_ = true;  // restoring a hidden window shows it, as Win32 does
    }
    if (on_resize) {
      on_resize();
    }
  }
  bool IsVisible() const override { return visible_; }
  void Show() override { visible_ = true; }
  void Hide() override { visible_ = false; }
  void Unload() override {
    if (unloaded) {
      return;
    }
    unloaded = true;
    if (on_unload) {
      on_unload();
    }
  }
  bool SetForeground() override {
    ++foreground_requests;
    return foreground_granted;
  }
  void PopupTrayMenu() override {
    ++menu_popups;
    foreground_requests_before_popup = foreground_requests;
  }
  void SetWaitCursor(bool busy) override {
    wait_cursor = busy;
    if (busy) {
      ++wait_cursor_shown;
    }
  }
  void ShowMessage(std::wstring_view text, std::wstring_view caption,
                   platform::MessageIcon icon) override {
    messages.push_back({std::wstring(text), std::wstring(caption), icon});
    if (on_message) {
      on_message();
    }
  }

  std::function<void()> on_resize;
  std::function<void()> on_unload;
  // Runs while a message box is "on the screen", before it is dismissed.
  std::function<void()> on_message;
  bool unloaded = false;
  bool wait_cursor = false;
  int wait_cursor_shown = 0;
  // Windows may refuse the foreground; nothing may depend on it.
  bool foreground_granted = true;
  int foreground_requests = 0;
  int menu_popups = 0;
  int foreground_requests_before_popup = 0;
  std::vector<ShownMessage> messages;

 private:
  platform::WindowState state_ = platform::WindowState::kNormal;
  bool visible_ = true;
};

}  // namespace quellnet::fakes
