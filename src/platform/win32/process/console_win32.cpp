// The output of a run from the command line. A windowed program gets no
// console of its own: it writes to the output it was started with when
// whoever started it redirected that to a file or a pipe, else to the console
// of the program that started it (cmd.exe, PowerShell), where it joins that
// console (AttachConsole, Windows XP and later). Started from Explorer, a
// shortcut or the task scheduler it has neither, and writes nothing.
#include <string>

#include "platform/win32/process/factories.h"
#include "platform/win32/system/handles.h"

namespace quellnet::platform::win32 {
namespace {

class ParentConsole final : public Console {
 public:
  bool WriteLines(std::wstring_view text) override {
    const HANDLE output = Output();
    if (output == nullptr) {
      return false;
    }
    // Windows' own line ends, which a file viewed later needs.
    std::wstring lines;
    for (const wchar_t c : text) {
      lines += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    }
    lines += L"\r\n";
    DWORD mode = 0;
    if (::GetConsoleMode(output, &mode)) {
      return WriteToConsole(output, lines);
    }
    return WriteToFile(output, lines);
  }

 private:
  // The output found at the first write; nullptr when there is none.
  HANDLE Output() {
    if (!looked_) {
      looked_ = true;
      output_ = FindOutput();
    }
    return output_;
  }

  HANDLE FindOutput() {
    const HANDLE inherited = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (inherited != nullptr && inherited != INVALID_HANDLE_VALUE &&
        ::GetFileType(inherited) != FILE_TYPE_UNKNOWN) {
      return inherited;  // redirected by whoever started the program
    }
    // Fails when the parent has no console (or has ended): nothing to write to.
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) {
      return nullptr;
    }
    console_.Reset(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
    return console_ ? console_.Get() : nullptr;
  }

  static bool WriteToConsole(HANDLE console, const std::wstring& lines) {
    for (std::size_t done = 0; done < lines.size();) {
      DWORD written = 0;
      if (!::WriteConsoleW(console, lines.data() + done, static_cast<DWORD>(lines.size() - done),
                           &written, nullptr) ||
          written == 0) {
        return false;
      }
      done += written;
    }
    return true;
  }

  // A file or a pipe gets the text in the code page of the console that
  // redirected it, as console programs write theirs (the OEM code page when
  // there is none).
  static bool WriteToFile(HANDLE file, const std::wstring& lines) {
    UINT code_page = ::GetConsoleOutputCP();
    if (code_page == 0) {
      code_page = CP_OEMCP;
    }
    const int size = ::WideCharToMultiByte(
        code_page, 0, lines.data(), static_cast<int>(lines.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
      return false;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (::WideCharToMultiByte(code_page, 0, lines.data(), static_cast<int>(lines.size()),
                              bytes.data(), size, nullptr, nullptr) != size) {
      return false;
    }
    for (std::size_t done = 0; done < bytes.size();) {
      DWORD written = 0;
      if (!::WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                       nullptr) ||
          written == 0) {
        return false;
      }
      done += written;
    }
    return true;
  }

  bool looked_ = false;
  HANDLE output_ = nullptr;
  // The console joined, when the program writes there; the inherited output
  // belongs to the process and is not closed.
  UniqueKernelHandle console_;
};

}  // namespace

std::unique_ptr<Console> CreateConsole() {
  return std::make_unique<ParentConsole>();
}

}  // namespace quellnet::platform::win32
