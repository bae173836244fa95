// The installer helper's rule for the run-at-logon value: it goes at
// uninstall only when it starts the program being removed, by whatever name
// (data/run_values.tsv), and only then.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/fake_registry.h"
#include "rules/run_entry.h"
#include "tools/table.h"

namespace quellnet::packaging {
namespace {

using platform::RegStatus;

const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::map<std::string, std::wstring> kPrograms = {
    {"installed", L"C:\\Users\\Bob Smith\\AppData\\Local\\Programs\\Quellnet\\quellnet.exe"},
    {"portable", L"D:\\Portable Tools\\Quellnet\\quellnet.exe"},
    {"gone", L"C:\\Gone Away\\quellnet.exe"}};

// Names in any letter case; a short name leads to the file as its long one.
struct FakeFileIds final : FileIds {
  std::optional<FileId> IdOf(const std::wstring& path) override {
    std::wstring upper = path;
    for (wchar_t& c : upper) {
      c = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
    }
    const auto file = files.find(upper);
    return file == files.end() ? std::nullopt : std::optional(FileId{1, file->second});
  }
  std::map<std::wstring, std::uint64_t> files = {
      {L"C:\\USERS\\BOB SMITH\\APPDATA\\LOCAL\\PROGRAMS\\QUELLNET\\QUELLNET.EXE", 1},
      {L"C:\\USERS\\BOBSMI~1\\APPDATA\\LOCAL\\PROGRAMS\\QUELLNET\\QUELLNET.EXE", 1},
      {L"D:\\PORTABLE TOOLS\\QUELLNET\\QUELLNET.EXE", 2},
      {L"D:\\PORTABLE.EXE", 3},
      {L"C:\\OTHER\\QUELLNET.EXE", 4}};
};

TEST(RunEntryTest, OnlyAValueThatStartsTheProgramGoes) {
  FakeFileIds files;
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/run_values.tsv")) {
    fakes::FakeRegistry registry;
    registry.Put(kRunKey, L"Quellnet", tools::Wide(row[1]));
    registry.Put(kRunKey, L"OtherTool", L"C:\\Other\\quellnet.exe");
    const bool starts = row[2] == "yes";
    EXPECT_EQ(ForgetRunEntry(registry, files, kPrograms.at(row[0])),
              starts ? ForgetResult::kRemoved : ForgetResult::kKept)
        << row[0] << ": " << row[1];
    EXPECT_EQ(registry.Find(kRunKey, L"Quellnet") == nullptr, starts) << row[1];
    EXPECT_NE(registry.Find(kRunKey, L"OtherTool"), nullptr);
  }
}

TEST(RunEntryTest, AValueThatCantBeReadOrDeletedFailsTheStepAndNoneIsNoFailure) {
  FakeFileIds files;
  const std::wstring& program = kPrograms.at("installed");
  fakes::FakeRegistry registry;
  EXPECT_EQ(ForgetRunEntry(registry, files, program), ForgetResult::kKept);  // no Run key
  registry.Put(kRunKey, L"Quellnet", program, false);
  EXPECT_EQ(ForgetRunEntry(registry, files, program), ForgetResult::kKept);  // not text
  registry.Put(kRunKey, L"Quellnet", program);
  for (const RegStatus failure : {RegStatus::kAccessDenied, RegStatus::kFailed}) {
    registry.failing[kRunKey] = failure;
    EXPECT_EQ(ForgetRunEntry(registry, files, program), ForgetResult::kFailed);
  }
}

}  // namespace
}  // namespace quellnet::packaging
