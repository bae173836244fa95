// The program's icon in the notification area, through the 8-bit shell call
// with the record in its first form (88 bytes in the 32-bit program, 104 in
// the 64-bit one; see architecture.h), which every Windows version accepts.
// The icon is identified by the main window and identifier 1.
#include <algorithm>
#include <array>
#include <cstring>

#include "platform/win32/system/architecture.h"
#include "platform/win32/process/factories.h"
#include "platform/win32/window/private_messages.h"

// After <windows.h>, which factories.h brings in.
#include <shellapi.h>

namespace quellnet::platform::win32 {
namespace {

static_assert(NOTIFYICONDATAA_V1_SIZE == kTrayRecordV1Size,
              "the first form of the record has the size the shell expects");

// The tip field of the first form holds 64 8-bit characters.
constexpr std::size_t kTipLength = 64;

class Win32TrayIcon final : public TrayIcon {
 public:
  Win32TrayIcon(HWND window, UINT callback_message, HICON icon, std::wstring_view tip)
      : window_(window), callback_message_(callback_message), icon_(icon) {
    // The title, one NUL that ends it for the shell, then blanks.
    tip_.fill(L' ');
    const std::size_t length = std::min(tip.size(), kTipLength - 1);
    tip.copy(tip_.data(), length);
    tip_[length] = L'\0';
  }

  ~Win32TrayIcon() override {
    // The program removes its icon as it ends; this catches an end that did
    // not pass through that step. The request names the icon only by window
    // handle and identifier, so it may come after the window is gone; its
    // result is of no use this late.
    if (present_) {
      Remove();
    }
  }

  Win32TrayIcon(const Win32TrayIcon&) = delete;
  Win32TrayIcon& operator=(const Win32TrayIcon&) = delete;

  bool Add() override {
    NOTIFYICONDATAA record = Record();
    if (::Shell_NotifyIconA(NIM_ADD, &record)) {
      present_ = true;
      return true;
    }
    // An add of an icon that is already there fails and leaves that one
    // icon; a busy shell may also time out after adding it. A modify tells
    // whether the icon is there and refreshes it.
    record = Record();
    present_ = ::Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
    return present_;
  }

  bool Remove() override {
    NOTIFYICONDATAA record = Record();
    present_ = false;
    return ::Shell_NotifyIconA(NIM_DELETE, &record) != FALSE;
  }

 private:
  // The record is built for each call, with an 8-bit copy of the tip in the
  // system code page.
  NOTIFYICONDATAA Record() const {
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof record);
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = window_;
    record.uID = kTrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callback_message_;
    record.hIcon = icon_;
    const int converted =
        ::WideCharToMultiByte(CP_ACP, 0, tip_.data(), static_cast<int>(tip_.size()), record.szTip,
                              static_cast<int>(kTipLength), nullptr, nullptr);
    if (converted == 0) {
      // A tip that does not fit the code page: the icon matters more than
      // its tip, so it goes without one.
      std::memset(record.szTip, 0, sizeof record.szTip);
    }
    return record;
  }

  HWND window_;
  UINT callback_message_;
  HICON icon_;
  std::array<wchar_t, kTipLength> tip_;
  // Whether the last request left the icon in the notification area.
  bool present_ = false;
};

}  // namespace

std::unique_ptr<TrayIcon> CreateTrayIcon(HWND window, UINT callback_message, HICON icon,
                                         std::wstring_view tip) {
  return std::make_unique<Win32TrayIcon>(window, callback_message, icon, tip);
}

}  // namespace quellnet::platform::win32
