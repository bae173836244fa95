// The installer helper's rule for the run-at-logon value: it goes at
// uninstall only when it starts the program being removed, by whatever name
// (data/run_values.tsv), and only then.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "rules/run_entry.h"
#include "tools/table.h"

namespace quellnet::packaging {
namespace {

const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::map<std::string, std::wstring> kPrograms = {
    {"installed", L"C:\\Users\\Bob Smith\\AppData\\Local\\Programs\\Quellnet\\quellnet.exe"},
    {"portable", L"D:\\Portable Tools\\Quellnet\\quellnet.exe"},
    {"gone", L"C:\\Gone Away\\quellnet.exe"}};

// Names in any letter case; a short name leads to the file as its long one.
struct FakeFileIds final : FileIds {
  std::optional<FileId> IdOf(const std::wstring& path) override {
    const auto file = files.find(path);
    return file == files.end() ? std::nullopt : std::optional(FileId{1, file->second});
  }
  std::map<std::wstring, std::uint64_t, fakes::NoCase> files = {
      {L"C:\\Users\\Bob Smith\\AppData\\Local\\Programs\\Quellnet\\quellnet.exe", 1},
      {L"C:\\Users\\BOBSMI~1\\AppData\\Local\\Programs\\Quellnet\\quellnet.exe", 1},
      {L"D:\\Portable Tools\\Quellnet\\quellnet.exe", 2},
      {L"D:\\portable.exe", 3},
      {L"C:\\Other\\quellnet.exe", 4}};
};

TEST(RunEntryTest, OnlyAValueThatStartsTheProgramGoes) {
  const std::map<std::string, ForgetResult> results = {{"removed", ForgetResult::kRemoved},
                                                       {"kept", ForgetResult::kKept},
                                                       {"fails", ForgetResult::kFailed}};
  FakeFileIds files;
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/run_values.tsv")) {
    fakes::FakeRegistry registry;
    if (row[1] != "(none)") {
      registry.Put(kRunKey, L"Quellnet", tools::Wide(row[1]), row[1] != "(not text)");
    }
    if (row[1] == "(gone meanwhile)") {
      registry.Put(kRunKey, L"Quellnet", L"\"" + kPrograms.at(row[0]) + L"\"");
      registry.before_delete = [&] { registry.keys[kRunKey].erase(L"Quellnet"); };
    }
    if (row[1] == "(denied)") {
      registry.failing[kRunKey] = {platform::RegStatus::kAccessDenied, 5};
    }
    registry.Put(kRunKey, L"OtherTool", L"C:\\Other\\quellnet.exe");
    EXPECT_EQ(ForgetRunEntry(registry, files, kPrograms.at(row[0])), results.at(row[2]))
        << row[0] << ": " << row[1];
    EXPECT_EQ(registry.Find(kRunKey, L"Quellnet") != nullptr,
              row[1] != "(none)" && row[2] != "removed");
    EXPECT_NE(registry.Find(kRunKey, L"OtherTool"), nullptr);
  }
}

}  // namespace
}  // namespace quellnet::packaging
