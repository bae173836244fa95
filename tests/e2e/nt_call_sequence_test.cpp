// The NT calls the cleaners' folders make for each entry they remove, against
// a scripted stand-in for ntdll's file functions: what is asked of Windows,
// which opens a link as itself, and of Wine, which doesn't; the POSIX
// disposition Windows 10 1809 on takes, and what an older system or a
// read-only file falls back to. Only the folder itself is opened for real.
#include <deque>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/win32/process/factories.h"
#include "platform/win32/system/optional_functions_win32.h"

namespace {

using quellnet::platform::EntryType;
using quellnet::platform::FsStatus;
using quellnet::platform::win32::NtdllFunctions;

constexpr NTSTATUS kInvalidInfoClass = static_cast<NTSTATUS>(0xC0000003);
constexpr NTSTATUS kCannotDelete = static_cast<NTSTATUS>(0xC0000121);
constexpr NTSTATUS kFileIsADirectory = static_cast<NTSTATUS>(0xC00000BA);
constexpr NTSTATUS kNameTooLong = static_cast<NTSTATUS>(0xC0000106);
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

// Two entries, "a" then "b", removed in turn by a run on one system: how
// removing "b" ends, and every NT call the two make, each ended by "; ".
struct Row {
  bool wine;
  bool folders;
  std::map<std::string, std::deque<NTSTATUS>> answers;
  FsStatus b;
  const char* calls;
};

TEST_F(NtCallSequence, EachSystemMakesItsOwnCallsPerEntry) {
  const std::string ex = "set disposition-ex delete|posix|ignore-read-only";
  // clang-format off
  const Row rows[] = {
      // Windows 10 1809 on: a file is opened as itself, 3 calls.
      {false, false, {}, FsStatus::kOk,
       "open a delete as-itself|file; EX; close; open b delete as-itself|file; EX; close; "},
      // An older Windows turns the POSIX disposition down once; then the
      // open carries the deletion: 2 calls.
      {false, false, {{ex, {kInvalidInfoClass}}}, FsStatus::kOk,
       "open a delete as-itself|file; EX; set disposition; close; "
       "open b delete as-itself|file|delete-on-close; close; "},
      // A read-only file there: the attribute cleared through a second handle.
      {false, false, {{ex, {kInvalidInfoClass}},
                      {"open b delete as-itself|file|delete-on-close", {kCannotDelete}},
                      {"set disposition", {0, kCannotDelete, 0}}}, FsStatus::kOk,
       "open a delete as-itself|file; EX; set disposition; close; "
       "open b delete as-itself|file|delete-on-close; open b delete as-itself|file; "
       "set disposition; open  read-attr|write-attr as-itself; query basic; set basic; "
       "set disposition; close; close; "},
      // Another kind than listed is refused at the open.
      {false, false, {{"open b delete as-itself|file", {kFileIsADirectory}}}, FsStatus::kChanged,
       "open a delete as-itself|file; EX; close; open b delete as-itself|file; "},
      // A folder is looked at first, on every system.
      {false, true, {}, FsStatus::kOk,
       "open a delete|read-attr as-itself|dir; query tag; query index; EX; close; "
       "open b delete|read-attr as-itself|dir; query tag; query index; EX; close; "},
      // Wine: every file is looked at, 5 calls once the POSIX disposition
      // is turned down.
      {true, false, {{ex, {kInvalidInfoClass}}}, FsStatus::kOk,
       "open a delete|read-attr as-itself|file; query tag; query index; EX; set disposition; "
       "close; open b delete|read-attr as-itself|file; query tag; query index; "
       "set disposition; close; "},
      // A path longer than the system reaches.
      {true, false, {{"open b delete|read-attr as-itself|file", {kNameTooLong}}}, FsStatus::kTooLong,
       "open a delete|read-attr as-itself|file; query tag; query index; EX; close; "
       "open b delete|read-attr as-itself|file; "},
  };
  // clang-format on
  for (const Row& row : rows) {
    Use(row.wine);
    answers = row.answers;
    std::string expected = row.calls;
    for (std::size_t at; (at = expected.find("EX")) != std::string::npos;) {
      expected.replace(at, 2, ex);
    }
    EXPECT_EQ(Remove(L"a", {row.folders, false}), FsStatus::kOk) << expected;
    EXPECT_EQ(Remove(L"b", {row.folders, false}), row.b) << expected;
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
