#include "protection/protection_switch.h"

#include "platform/system_error.h"

namespace quellnet::protection {

using platform::MessageIcon;
using platform::ServiceOutcome;
using platform::ServiceState;

namespace {

bool EndsWithSeparator(std::wstring_view path) {
  return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

bool CountsAsProtected(ServiceState state) {
  return state == ServiceState::kStopped || state == ServiceState::kNotInstalled;
}

struct Notice {
  std::wstring text;
  MessageIcon icon;
  // Offers Retry, which asks for the same change again, and Cancel.
  bool retry = false;
};

constexpr std::wstring_view kAdministratorAdvice =
    L"Changing a Windows service needs an administrator. Log on with an administrator account "
    L"(or ask your administrator to do it) and click the switch again.";

// A warning that offers Retry. Cancel leaves the switch showing what the
// service is in when the user answers, so that the switch agrees with the
// status and a click on it asks for the failed change once more.
Notice Retryable(std::wstring text, bool is_protected) {
  text += L"\n\nClick Retry to try again, or Cancel to leave protection ";
  text += is_protected ? L"on." : L"off.";
  return {text, MessageIcon::kWarning, true};
}

// What to tell the user when the click did not put the service in the state
// asked for: `result` is what the service control reported, `state` where
// the service is now.
Notice NoticeFor(bool stop_requested, const platform::ServiceResult& result, ServiceState state) {
  const std::wstring verb = stop_requested ? L"stop" : L"start";
  const std::wstring failed = L"Quellnet could not " + verb + L" the Messenger service";
  const bool is_protected = CountsAsProtected(state);
  if (state == ServiceState::kNotInstalled) {
    // Nothing can deliver such pop-ups: whichever way the switch went, that
    // is the protected state, told as information.
    return {stop_requested
                ? L"The Messenger service is not installed on this computer, so nothing can "
                  L"deliver its pop-up messages. Your PC needs no further protection."
                : L"The Messenger service is not installed on this computer, so it can't be "
                  L"started. Nothing can deliver its pop-up messages while it is missing.",
            MessageIcon::kInformation};
  }
  std::wstring text = failed + L".";
  switch (result.outcome) {
    case ServiceOutcome::kMarkedForDeletion:
      if (stop_requested) {
        return {failed +
                    L". It has been removed from Windows, which deletes it once it has "
                    L"stopped, at the latest when the computer restarts.",
                MessageIcon::kWarning};
      }
      return {
          L"The Messenger service has been removed from Windows and is waiting to be "
          L"deleted, so it can't be started. Nothing can deliver its pop-up messages while "
          L"it is stopped.",
          MessageIcon::kInformation};
    case ServiceOutcome::kAccessDenied:
      return Retryable(
          failed + L": Windows denied access.\n\n" + std::wstring(kAdministratorAdvice),
          is_protected);
    case ServiceOutcome::kTimedOut:
      if (state == ServiceState::kPending) {
        return Retryable(L"The Messenger service did not " + verb +
                             L" within 30 seconds. It may still be busy: wait a moment and try "
                             L"again, or restart the computer.",
                         is_protected);
      }
      // Not on its way any more (it refused, or can't be asked): nothing
      // says that it is still busy.
      text = failed + L" within 30 seconds.";
      break;
    case ServiceOutcome::kNotInstalled:
    case ServiceOutcome::kOtherError:
    case ServiceOutcome::kDone:
    case ServiceOutcome::kAlreadyInState:
      break;
  }
  if (result.service_code) {
    text += L"\n\nWindows reported: The service stopped with its own error code " +
            std::to_wstring(*result.service_code) + L".";
  } else if (result.error != 0) {
    text += L"\n\nWindows reported: " + platform::SystemErrorText(result.error);
  }
  text +=
      L"\n\nIf it keeps failing, use the Services window of the Control Panel's "
      L"Administrative Tools.";
  return Retryable(text, is_protected);
}

// The status picture beside the program: `folder` and `file` joined by one
// separator (a drive root such as "C:\" already ends in one).
std::wstring StatusPicturePath(std::wstring_view folder, std::wstring_view file) {
  std::wstring path(folder);
  if (!EndsWithSeparator(path)) {
    path += L'\\';
  }
  path += file;
  return path;
}

}  // namespace

ProtectionSwitch::ProtectionSwitch(platform::CheckBox& chkmess, platform::Label& Label2,
                                   platform::PictureBox& Picture1, platform::LongWork& work,
                                   platform::MessageBoxes& messages,
                                   platform::ServiceControl& services, platform::Shell& shell)
    : chkmess_(chkmess),
      Label2_(Label2),
      Picture1_(Picture1),
      work_(work),
      messages_(messages),
      services_(services),
      shell_(shell) {}

void ProtectionSwitch::OnClick() {
  if (showing_service_) {
    return;  // the switch set the box to what it found; nothing to ask for
  }
  // 1 means on; every other value (0, or 2 from a restored setting) is off.
  const bool stop_requested = chkmess_.Value() == 1;
  for (;;) {
    platform::ServiceResult result;
    ServiceState state = ServiceState::kUnknown;
    {
      platform::BusyWindow busy(work_);
      result =
          stop_requested ? services_.Stop(kMessengerService) : services_.Start(kMessengerService);
      state = StateAfter(stop_requested, result.outcome);
    }
    const bool is_protected = CountsAsProtected(state);
    // What the start-up code reads right after the restore instead of
    // asking the service again.
    last_found_protected_ = is_protected;
    ShowStatus(is_protected);

    const bool reached =
        stop_requested ? state == ServiceState::kStopped : state == ServiceState::kRunning;
    // At start-up the box keeps the stored choice: it is saved and applied
    // again at the next start, while the display shows what is true now.
    if (reached || restoring_) {
      return;
    }
    const Notice notice = NoticeFor(stop_requested, result, state);
    if (notice.retry) {
      if (messages_.AskRetry(notice.text, notice.icon)) {
        continue;
      }
    } else {
      messages_.ShowMessage(notice.text, notice.icon);
    }
    // Left as it is. The service may have got somewhere while the user read
    // the message (one that was still busy may have stopped): the status and
    // the box show where it is now, so that it is saved as what is true and a
    // click on the box asks for the change that would alter it.
    const bool now_protected = CountsAsProtected(services_.Query(kMessengerService));
    ShowStatus(now_protected);
    showing_service_ = true;
    chkmess_.SetValue(now_protected ? 1 : 0);
    showing_service_ = false;
    return;
  }
}

bool ProtectionSwitch::IsProtected() {
  if (last_found_protected_) {
    return *last_found_protected_;
  }
  return CountsAsProtected(services_.Query(kMessengerService));
}

ServiceState ProtectionSwitch::StateAfter(bool stop_requested, ServiceOutcome outcome) {
  if (outcome == ServiceOutcome::kDone || outcome == ServiceOutcome::kAlreadyInState) {
    // The service control returns only once the service reports the
    // requested state.
    return stop_requested ? ServiceState::kStopped : ServiceState::kRunning;
  }
  // The request failed part-way or not at all. An error does not tell where
  // the service is (one marked for deletion may still run): ask it.
  return services_.Query(kMessengerService);
}

void ProtectionSwitch::ShowStatus(bool is_protected) {
  const std::wstring folder = shell_.ProgramFolder();
  const std::wstring_view picture = is_protected ? kProtectedPicture : kNotProtectedPicture;
  // Without its picture the box shows nothing rather than a stale status.
  if (folder.empty() || !Picture1_.LoadPicture(StatusPicturePath(folder, picture))) {
    Picture1_.Clear();
  }
  Label2_.SetCaption(is_protected ? kProtectedCaption : kNotProtectedCaption);
}

}  // namespace quellnet::protection
