// The controls of the main window that the program's logic reads and writes.
// Each is a small interface: a Win32 implementation drives the real control,
// and the unit tests use in-memory fakes with the same behaviour.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quellnet::platform {

// A check box's option state: 0 clear, 1 checked, 2 greyed.
using CheckValue = std::int16_t;

class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual CheckValue Value() const = 0;
  // Refuses (returns false, changes nothing) any value other than 0, 1 or 2.
  // A set that changes the value raises the box's click notification, which
  // runs to its end before this returns; a set of the current value raises
  // nothing.
  virtual bool SetValue(int value) = 0;
};

class Label {
 public:
  virtual ~Label() = default;
  virtual void SetCaption(std::wstring_view caption) = 0;
};

class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual void SetText(std::wstring_view text) = 0;
};

class PictureBox {
 public:
  virtual ~PictureBox() = default;
  // Loads a GIF file and shows it. On failure the box is left unchanged and
  // false is returned.
  virtual bool LoadPicture(const std::wstring& path) = 0;
  // Shows no picture.
  virtual void Clear() = 0;
};

}  // namespace quellnet::platform
