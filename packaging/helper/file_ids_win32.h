// Files by their identity on the volume, for recognising the installed
// program by any name of it (file_ids_win32.cpp).
#pragma once

#include "rules/run_entry.h"

namespace quellnet::packaging {

class Win32FileIds final : public FileIds {
 public:
  std::optional<FileId> IdOf(const std::wstring& path) override;
};

}  // namespace quellnet::packaging
