// The NT calls the cleaners' folders make for each entry they remove, against
// a scripted stand-in for ntdll's file functions: what is asked of Windows,
// which opens a link as itself, and of Wine, which doesn't; the POSIX
// disposition Windows 10 1809 on takes, and what an older system or a
// read-only file falls back to. Only the folder itself is opened for real.
#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "harness.h"
#include "nt_calls.h"
#include "platform/win32/process/factories.h"
#include "platform/win32/system/optional_functions_win32.h"
#include "tools/table.h"

namespace {

using quellnet::platform::EntryType;
using quellnet::platform::FsStatus;
using quellnet::platform::win32::NtdllFunctions;

constexpr NTSTATUS kInvalidInfoClass = static_cast<NTSTATUS>(0xC0000003);
constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006);

// The calls as text, each ended by "; ", and the answers scripted for a call's text, in turn;
// success once they run out.
std::string calls;
std::map<std::string, std::deque<NTSTATUS>> answers;

NTSTATUS Answer(const std::string& call) {
  calls += call + "; ";
  std::deque<NTSTATUS>& queued = answers[call];
  const NTSTATUS status = queued.empty() ? 0 : queued.front();
  if (queued.size() > 1) {
    queued.pop_front();  // the last one stays
  }
  return status;
}

std::string Flags(ULONG value, const std::vector<std::pair<ULONG, const char*>>& names) {
  std::string text;
  for (const auto& [flag, name] : names) {
    if ((value & flag) != 0) {
      text.append(text.empty() ? "" : "|").append(name);
    }
  }
  return text;
}

const char* ClassName(int type) {
  const std::map<int, const char*> names = {
      {1, "directory"}, {4, "basic"},         {6, "index"},          {13, "disposition"},
      {35, "tag"},      {37, "id-directory"}, {64, "disposition-ex"}};
  return names.count(type) != 0 ? names.at(type) : "other";
}

NTSTATUS NTAPI Open(PHANDLE handle, ACCESS_MASK access, POBJECT_ATTRIBUTES object, PIO_STATUS_BLOCK,
                    ULONG, ULONG options) {
  static ULONG_PTR next = 0x7000;
  const std::wstring name(object->ObjectName->Buffer, object->ObjectName->Length / 2);
  const NTSTATUS status = Answer(
      "open " + std::string(name.begin(), name.end()) + " " +
      Flags(access, {{DELETE, "delete"}, {0x80, "read-attr"}, {0x100, "write-attr"}}) + " " +
      Flags(options,
            {{0x200000, "as-itself"}, {0x1, "dir"}, {0x40, "file"}, {0x1000, "delete-on-close"}}));
  if (NT_SUCCESS(status)) {
    *handle = reinterpret_cast<HANDLE>(next += 4);
  }
  return status;
}
NTSTATUS NTAPI Close(HANDLE) {
  return Answer("close");
}
NTSTATUS NTAPI Query(HANDLE, PIO_STATUS_BLOCK, PVOID data, ULONG size,
                     FILE_INFORMATION_CLASS type) {
  ZeroMemory(data, size);
  if (type == 4) {  // a read-only file: its attributes after four times
    static_cast<ULONG*>(data)[8] = FILE_ATTRIBUTE_READONLY;
  }
  return Answer(std::string("query ").append(ClassName(type)));
}
NTSTATUS NTAPI Set(HANDLE, PIO_STATUS_BLOCK, PVOID data, ULONG, FILE_INFORMATION_CLASS type) {
  std::string call = std::string("set ").append(ClassName(type));
  if (type == 64) {
    call.append(" ").append(Flags(*static_cast<ULONG*>(data),
                                  {{0x1, "delete"}, {0x2, "posix"}, {0x10, "ignore-read-only"}}));
  }
  return Answer(call);
}
NTSTATUS NTAPI List(HANDLE, HANDLE, PIO_APC_ROUTINE, PVOID, PIO_STATUS_BLOCK, PVOID, ULONG,
                    FILE_INFORMATION_CLASS type, BOOLEAN, PUNICODE_STRING, BOOLEAN restart) {
  return Answer(
      std::string("list ").append(ClassName(type)).append(restart ? " restart" : " next"));
}
const char* CDECL Wine() {
  return "stand-in";
}

// The stand-in, of Wine or of Windows, in the place of ntdll's own table
// for one test; the real table still opens the folder and words statuses.
class NtCallSequence : public ::testing::Test {
 protected:
  void Use(bool wine) {
    folder_.reset();
    files_ = quellnet::platform::win32::CreateFileSystem();  // probes the system afresh
    fake_ = real_;
    fake_.nt_open_file = &Open;
    fake_.nt_close = &Close;
    fake_.nt_query_information_file = &Query;
    fake_.nt_set_information_file = &Set;
    fake_.nt_query_directory_file = &List;
    fake_.wine_get_version = wine ? &Wine : nullptr;
    quellnet::platform::win32::UseNtdllFunctions(&fake_);
    calls.clear();
    answers.clear();
    ASSERT_EQ(files_->OpenFolder(L"C:\\windows", folder_).status, FsStatus::kOk);
    EXPECT_EQ(folder_->OpensEntriesAsThemselves(), !wine);
    calls.clear();
  }
  ~NtCallSequence() override { quellnet::platform::win32::UseNtdllFunctions(nullptr); }

  // Removes `name` as the cleaners do: a file that is opened as itself
  // without a look at it, anything else after one.
  FsStatus Remove(const std::wstring& name, EntryType kind) {
    std::unique_ptr<quellnet::platform::OpenEntry> entry;
    quellnet::platform::Shown shown;
    FsStatus status = folder_->Open(name, kind, entry).status;
    if (status == FsStatus::kOk && (kind.folder || !folder_->OpensEntriesAsThemselves())) {
      status = entry->Show(shown).status;
    }
    return status == FsStatus::kOk ? entry->Remove().status : status;
  }

  const NtdllFunctions real_ = quellnet::platform::win32::Ntdll();
  NtdllFunctions fake_;
  std::unique_ptr<quellnet::platform::FileSystem> files_;
  std::unique_ptr<quellnet::platform::Folder> folder_;
};

// The scripted answers of a row of data/nt_calls.tsv: "call=status,status"
// for each call's text, between "; ", the statuses in hexadecimal.
std::map<std::string, std::deque<NTSTATUS>> AnswersOf(const std::string& text) {
  std::map<std::string, std::deque<NTSTATUS>> scripted;
  std::istringstream items(text);
  for (std::string item; std::getline(items, item, ';');) {
    item.erase(0, item.find_first_not_of(' '));
    const std::size_t equals = item.find('=');
    std::istringstream statuses(item.substr(equals + 1));
    for (std::string status; std::getline(statuses, status, ',');) {
      scripted[item.substr(0, equals)].push_back(
          static_cast<NTSTATUS>(std::stoul(status, nullptr, 16)));
    }
  }
  return scripted;
}

TEST_F(NtCallSequence, EachSystemMakesItsOwnCallsPerEntry) {
  const std::map<std::string, FsStatus> endings = {
      {"ok", FsStatus::kOk}, {"changed", FsStatus::kChanged}, {"too long", FsStatus::kTooLong}};
  for (quellnet::tools::TableRow row : quellnet::tools::TableRows(nt_calls_tsv)) {
    // EX stands for the POSIX disposition, in the answers and the calls.
    for (std::string* cell : {&row[2], &row[4]}) {
      for (std::size_t at; (at = cell->find("EX")) != std::string::npos;) {
        cell->replace(at, 2, "set disposition-ex delete|posix|ignore-read-only");
      }
    }
    Use(row[0] == "wine");
    answers = AnswersOf(row[2]);
    const std::string expected = row[4] + " ";
    EXPECT_EQ(Remove(L"a", {row[1] == "folders", false}), FsStatus::kOk) << expected;
    EXPECT_EQ(Remove(L"b", {row[1] == "folders", false}), endings.at(row[3])) << expected;
    EXPECT_EQ(calls, expected);
  }
}

// A file system that gives no file numbers is listed again from the start.
TEST_F(NtCallSequence, AListingWithoutNumbersStartsAgain) {
  Use(false);
  answers = {{"list id-directory restart", {kInvalidInfoClass}},
             {"list directory restart", {kNoMoreFiles}}};
  std::vector<quellnet::platform::Entry> entries;
  EXPECT_EQ(folder_->List(entries).status, FsStatus::kOk);
  EXPECT_EQ(calls, "list id-directory restart; list directory restart; ");
}

}  // namespace
