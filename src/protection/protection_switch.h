// The protection switch `chkmess`: turning it on stops the Messenger service,
// turning it off starts it; then the status picture and caption show the
// state the service is really in. When the service does not get there, the
// user may try again or leave it, and the box then shows the state the
// service is in by the time the user answers, as the status does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/controls.h"
#include "platform/long_work.h"
#include "platform/message_boxes.h"
#include "platform/service_control.h"
#include "platform/shell.h"

namespace quellnet::protection {

inline constexpr std::wstring_view kMessengerService = L"Messenger";
inline constexpr std::wstring_view kProtectedCaption = L"PC Protected !";
inline constexpr std::wstring_view kNotProtectedCaption = L"PC Not Protected !";
inline constexpr std::wstring_view kProtectedPicture = L"green.gif";
inline constexpr std::wstring_view kNotProtectedPicture = L"red.gif";

class ProtectionSwitch {
 public:
  ProtectionSwitch(platform::CheckBox& chkmess, platform::Label& Label2,
                   platform::PictureBox& Picture1, platform::LongWork& work,
                   platform::MessageBoxes& messages, platform::ServiceControl& services,
                   platform::Shell& shell);

  // The click notification of `chkmess`, from the user or from code that
  // changed its value.
  void OnClick();

  // Marks the runs of the switch inside its scope as the start-up restore:
  // they show no message box, the status display alone tells the outcome.
  class RestoreScope {
   public:
    explicit RestoreScope(ProtectionSwitch& protection) : protection_(protection) {
      protection_.restoring_ = true;
    }
    ~RestoreScope() { protection_.restoring_ = false; }
    RestoreScope(const RestoreScope&) = delete;
    RestoreScope& operator=(const RestoreScope&) = delete;

   private:
    ProtectionSwitch& protection_;
  };

  // True when the Messenger service is stopped or not installed: what the
  // switch found when it asked for its change in its last run, or asked of
  // the service if it hasn't run. The start-up code asks this once, right
  // after the stored choice is restored.
  bool IsProtected();

 private:
  platform::ServiceState StateAfter(bool stop_requested, platform::ServiceOutcome outcome);
  void ShowStatus(bool is_protected);

  platform::CheckBox& chkmess_;
  platform::Label& Label2_;
  platform::PictureBox& Picture1_;
  platform::LongWork& work_;
  platform::MessageBoxes& messages_;
  platform::ServiceControl& services_;
  platform::Shell& shell_;
  bool restoring_ = false;
  // Set while the switch itself sets the box, whose click it then ignores.
  bool showing_service_ = false;
  std::optional<bool> last_found_protected_;
};

}  // namespace quellnet::protection
