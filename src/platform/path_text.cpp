#include "platform/path_text.h"

#include <cwctype>

namespace quellnet::platform::paths {
namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\';
}

bool IsDriveLetter(wchar_t c) {
  return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (!path.empty() && IsSeparator(path.back())) {
    path.pop_back();
  }
  return path;
}

std::wstring Folded(const std::wstring& path) {
  std::wstring folded = WithoutTrailingSeparators(path);
  for (wchar_t& c : folded) {
    c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  }
  return folded;
}

}  // namespace

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::wstring WithoutExtendedPrefix(const std::wstring& path) {
  if (!StartsWith(path, kExtendedPrefix)) {
    return path;
  }
  const std::size_t unc_end = kExtendedUncPrefix.size();
  if (path.size() >= unc_end && IsSeparator(path[unc_end - 1]) &&
      Folded(path.substr(kExtendedPrefix.size(), 3)) == L"unc") {
    return L"\\\\" + path.substr(unc_end);
  }
  return path.substr(kExtendedPrefix.size());
}

std::wstring WithExtendedPrefix(const std::wstring& path) {
  if (StartsWith(path, kExtendedPrefix)) {
    return path;
  }
  if (StartsWith(path, L"\\\\")) {
    return std::wstring(kExtendedUncPrefix) + path.substr(2);
  }
  return std::wstring(kExtendedPrefix) + path;
}

std::wstring Plain(const std::wstring& path) {
  std::wstring plain = WithoutExtendedPrefix(path);
  for (wchar_t& c : plain) {
    if (c == L'/') {
      c = L'\\';
    }
  }
  return plain;
}

bool IsFullPath(const std::wstring& plain) {
  if (plain.size() >= 3 && IsDriveLetter(plain[0]) && plain[1] == L':' && IsSeparator(plain[2])) {
    return true;
  }
  // "\\server\..." but not the device forms "\\.\" and "\\?\".
  return plain.size() >= 3 && IsSeparator(plain[0]) && IsSeparator(plain[1]) &&
         !IsSeparator(plain[2]) && plain[2] != L'.' && plain[2] != L'?';
}

bool IsDriveRoot(const std::wstring& plain) {
  return plain.size() >= 2 && IsDriveLetter(plain[0]) && plain[1] == L':' &&
         WithoutTrailingSeparators(plain).size() == 2;
}

bool IsShareRoot(const std::wstring& plain) {
  if (!StartsWith(plain, L"\\\\")) {
    return false;
  }
  int components = 0;
  bool in_component = false;
  for (std::size_t i = 2; i < plain.size(); ++i) {
    if (IsSeparator(plain[i])) {
      in_component = false;
    } else if (!in_component) {
      in_component = true;
      ++components;
    }
  }
  return components <= 2;
}

bool IsDevicePath(const std::wstring& plain) {
  return StartsWith(plain, L"\\\\.\\") || StartsWith(plain, L"\\\\?\\");
}

std::wstring LocalPathOfAdminShare(const std::wstring& plain, const std::wstring& computer_name) {
  // "\\host\X$" then the end or a separator.
  if (!StartsWith(plain, L"\\\\")) {
    return plain;
  }
  const std::size_t host_end = plain.find(L'\\', 2);
  if (host_end == std::wstring::npos || plain.size() < host_end + 3 ||
      !IsDriveLetter(plain[host_end + 1]) || plain[host_end + 2] != L'$' ||
      (plain.size() > host_end + 3 && !IsSeparator(plain[host_end + 3]))) {
    return plain;
  }
  const std::wstring host = Folded(plain.substr(2, host_end - 2));
  if (host != L"localhost" && host != L"127.0.0.1" &&
      (computer_name.empty() || host != Folded(computer_name))) {
    return plain;
  }
  std::wstring local{plain[host_end + 1], L':', L'\\'};
  if (plain.size() > host_end + 4) {
    local += plain.substr(host_end + 4);
  }
  return local;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return Folded(a) == Folded(b);
}

bool IsBelow(const std::wstring& inner, const std::wstring& outer) {
  const std::wstring folded_outer = Folded(outer) + L'\\';
  const std::wstring folded_inner = Folded(inner);
  return folded_inner.size() > folded_outer.size() && StartsWith(folded_inner, folded_outer);
}

std::wstring Parent(const std::wstring& path) {
  const std::wstring trimmed = WithoutTrailingSeparators(path);
  if (IsDriveRoot(trimmed) || IsShareRoot(trimmed)) {
    return {};
  }
  const auto separator = trimmed.rfind(L'\\');
  if (separator == std::wstring::npos) {
    return {};
  }
  std::wstring parent = WithoutTrailingSeparators(trimmed.substr(0, separator));
  if (IsDriveRoot(parent)) {
    parent += L'\\';
  }
  return parent;
}

std::wstring FolderOfPath(std::wstring_view path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring_view::npos) {
    return std::wstring();
  }
  std::wstring folder(path.substr(0, separator));
  // A leading separator alone is the root of the current drive.
  if (folder.empty() || folder.back() == L':') {
    folder += path[separator];
  }
  return folder;
}

}  // namespace quellnet::platform::paths
