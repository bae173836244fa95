#include "cleaners/folder_safety.h"

#include <cwctype>
#include <optional>
#include <utility>

namespace quellnet::cleaners {
namespace paths {
namespace {

bool StartsWith(const std::wstring& text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && std::wstring_view(text).substr(0, prefix.size()) == prefix;
}

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

std::wstring Plain(const std::wstring& path) {
  std::wstring plain;
  if (path.size() >= 8 && StartsWith(path, L"\\\\?\\") && Folded(path.substr(4, 4)) == L"unc" &&
      IsSeparator(path[7])) {
    plain = L"\\\\" + path.substr(8);
  } else if (StartsWith(path, L"\\\\?\\")) {
    plain = path.substr(4);
  } else {
    plain = path;
  }
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

}  // namespace paths

namespace {

FolderVerdict Refuse(Refusal refusal, const std::wstring& path) {
  FolderVerdict verdict;
  verdict.refusal = refusal;
  verdict.path = path;
  return verdict;
}

// The protected folder that `folder` is or holds, judged by the names alone.
std::optional<FolderVerdict> ByName(const std::wstring& given, const std::wstring& folder,
                                    const std::vector<platform::ProtectedFolder>& guarded) {
  for (const auto& protected_folder : guarded) {
    const bool is = paths::SamePath(folder, protected_folder.path);
    if (is || paths::IsBelow(protected_folder.path, folder)) {
      FolderVerdict verdict = Refuse(Refusal::kProtected, given);
      verdict.kind = protected_folder.kind;
      verdict.holds = !is;
      return verdict;
    }
  }
  return std::nullopt;
}

// The same, judged by what the folder really is: a link or a short name can
// lead to a protected folder, or to one of the folders that hold it, under a
// name that looks harmless.
std::optional<FolderVerdict> ByIdentity(const std::wstring& given, const std::wstring& folder,
                                        const std::vector<platform::ProtectedFolder>& guarded,
                                        platform::FileSystem& files) {
  const std::optional<platform::FolderIdentity> identity = files.IdentityOf(folder);
  if (!identity) {
    return std::nullopt;  // no folder there, so nothing to delete either
  }
  for (const auto& protected_folder : guarded) {
    for (std::wstring outer = protected_folder.path; !outer.empty(); outer = paths::Parent(outer)) {
      if (files.IdentityOf(outer) == identity) {
        FolderVerdict verdict = Refuse(Refusal::kProtected, given);
        verdict.kind = protected_folder.kind;
        verdict.holds = !paths::SamePath(outer, protected_folder.path);
        return verdict;
      }
    }
  }
  return std::nullopt;
}

}  // namespace

FolderVerdict CheckFolder(const std::wstring& path, platform::FileSystem& files) {
  if (path.empty()) {
    return Refuse(Refusal::kEmpty, path);
  }
  const std::wstring plain = paths::Plain(path);
  if (paths::IsDriveRoot(plain)) {
    return Refuse(Refusal::kDriveRoot, path);
  }
  if (paths::IsShareRoot(plain)) {
    return Refuse(Refusal::kShareRoot, path);
  }
  if (!paths::IsFullPath(plain)) {
    return Refuse(Refusal::kNotFullPath, path);
  }
  // ".." can climb from a harmless-looking path to a root.
  const std::optional<std::wstring> full = files.FullPath(plain);
  if (!full || !paths::IsFullPath(*full)) {
    return Refuse(Refusal::kNotFullPath, path);
  }
  if (paths::IsDriveRoot(*full)) {
    return Refuse(Refusal::kDriveRoot, path);
  }
  if (paths::IsShareRoot(*full)) {
    return Refuse(Refusal::kShareRoot, path);
  }
  const auto guarded = files.ProtectedFolders();
  if (auto verdict = ByName(path, *full, guarded)) {
    return *verdict;
  }
  if (auto verdict = ByIdentity(path, *full, guarded, files)) {
    return *verdict;
  }
  FolderVerdict verdict;
  verdict.path = *full;
  return verdict;
}

}  // namespace quellnet::cleaners
