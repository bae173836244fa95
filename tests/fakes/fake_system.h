// The shell, the network and the notification area, in memory.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/network.h"
#include "platform/shell.h"
#include "platform/tray_icon.h"

namespace quellnet::fakes {

struct FakeShell final : platform::Shell {
  void Open(std::wstring_view target) override { opened.emplace_back(target); }
  std::wstring ExecutablePath() override { return executable_path; }
  std::wstring ProgramFolder() override { return program_folder; }

  std::wstring executable_path = L"C:\\Quellnet\\quellnet.exe";
  std::wstring program_folder = L"C:\\Quellnet";
  std::vector<std::wstring> opened;
};

struct FakeNetwork final : platform::Network {
  std::optional<std::vector<std::string>> LocalIpv4Addresses() override {
    return std::vector<std::string>{"192.168.1.20"};
  }
};

// Holds at most the program's one icon; like the real area it can be missing
// (no shell running), and then it has lost the icon.
struct FakeTrayIcon final : platform::TrayIcon {
  bool Add() override { return present = area_available; }
  bool Remove() override { return std::exchange(present, false); }

  bool area_available = true;
  bool present = false;
};

}  // namespace quellnet::fakes
