#include "platform/win32/process/windowless_run.h"

#include <memory>
#include <string>

#include "platform/win32/process/factories.h"

namespace quellnet::platform::win32 {
namespace {

// Boxes with no owner window; a run without a window has no work going on
// that they could interrupt.
class OwnerlessBoxes final : public MessageBoxes {
 public:
  explicit OwnerlessBoxes(std::wstring_view title) : title_(title) {}

  void ShowMessage(std::wstring_view text, MessageIcon icon) override {
    // Fails only when the box can't be created; nothing else could say so.
    Show(text, MB_OK | Style(icon));
  }
  bool AskRetry(std::wstring_view text, MessageIcon icon) override {
    return Show(text, MB_RETRYCANCEL | Style(icon)) == IDRETRY;
  }

 private:
  static UINT Style(MessageIcon icon) {
    switch (icon) {
      case MessageIcon::kNone:
        break;
      case MessageIcon::kInformation:
        return MB_ICONINFORMATION;
      case MessageIcon::kWarning:
        return MB_ICONWARNING;
    }
    return 0;
  }
  int Show(std::wstring_view text, UINT style) {
    return ::MessageBoxW(nullptr, std::wstring(text).c_str(), title_.c_str(),
                         style | MB_SETFOREGROUND);
  }

  std::wstring title_;
};

}  // namespace

int RunWithoutWindow(std::wstring_view title, const WindowlessWork& work) {
  // The factories make their objects or throw (factories.h).
  const std::unique_ptr<Registry> registry = CreateRegistry();
  const std::unique_ptr<FileSystem> files = CreateFileSystem();
  const std::unique_ptr<Console> console = CreateConsole();
  OwnerlessBoxes boxes(title);
  return work(WindowlessParts{*registry, *files, *console, boxes});
}

}  // namespace quellnet::platform::win32
