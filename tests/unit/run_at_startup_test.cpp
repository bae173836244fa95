#include <gtest/gtest.h>

#include "app/run_at_startup.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"

namespace quellnet::app {
namespace {

using fakes::FakeRegistry;

TEST(RunAtStartupData, QuotesTheWholePathAsItIs) {
  EXPECT_EQ(RunAtStartupData(L"C:\\Program Files\\Quellnet\\quellnet.exe"),
            L"\"C:\\Program Files\\Quellnet\\quellnet.exe\"");
  // Another extension and characters outside any ANSI code page stay as the
  // system reports them.
  EXPECT_EQ(RunAtStartupData(L"D:\\Werkzeuge \x0416\x65e5\\Quellnet.EXE"),
            L"\"D:\\Werkzeuge \x0416\x65e5\\Quellnet.EXE\"");
  EXPECT_EQ(RunAtStartupData(L"C:\\quellnet.com"), L"\"C:\\quellnet.com\"");
}

class SetRunAtStartupTest : public testing::Test {
 protected:
  SetRunAtStartupTest() { registry.CreateKey(kRunKeyPath); }

  const FakeRegistry::Value* Entry() const { return registry.Find(kRunKeyPath, L"Quellnet"); }

  FakeRegistry registry;
  fakes::FakeShell shell;
};

TEST_F(SetRunAtStartupTest, EnablingWritesOneQuotedEntryWithTheCurrentPath) {
  registry.Put(kRunKeyPath, L"Other", L"\"C:\\other.exe\"");
  shell.executable_path = L"C:\\Program Files\\Quellnet\\quellnet.exe";
  SetRunAtStartup(true, registry, shell);
  ASSERT_NE(Entry(), nullptr);
  EXPECT_EQ(Entry()->text, L"\"C:\\Program Files\\Quellnet\\quellnet.exe\"");

  // A second run after the program moved replaces the value; it never adds
  // a second one and leaves other programs' entries alone.
  shell.executable_path = L"E:\\Tools\\quellnet.exe";
  SetRunAtStartup(true, registry, shell);
  EXPECT_EQ(Entry()->text, L"\"E:\\Tools\\quellnet.exe\"");
  EXPECT_EQ(registry.ValueCount(kRunKeyPath), 2u);
  EXPECT_NE(registry.Find(kRunKeyPath, L"Other"), nullptr);
}

TEST_F(SetRunAtStartupTest, DisablingRemovesOnlyTheProgramsEntry) {
  registry.Put(kRunKeyPath, L"Quellnet", L"\"C:\\Quellnet\\quellnet.exe\"");
  registry.Put(kRunKeyPath, L"Other", L"\"C:\\other.exe\"");
  SetRunAtStartup(false, registry, shell);
  EXPECT_EQ(Entry(), nullptr);
  EXPECT_NE(registry.Find(kRunKeyPath, L"Other"), nullptr);

  // With no entry left, disabling again changes nothing.
  SetRunAtStartup(false, registry, shell);
  EXPECT_EQ(registry.ValueCount(kRunKeyPath), 1u);
}

TEST_F(SetRunAtStartupTest, NeverCreatesAMissingRunKey) {
  FakeRegistry empty;
  SetRunAtStartup(true, empty, shell);
  EXPECT_FALSE(empty.KeyExists(kRunKeyPath));
}

TEST_F(SetRunAtStartupTest, AnUnknownExecutablePathLeavesTheEntryAsItWas) {
  registry.Put(kRunKeyPath, L"Quellnet", L"\"C:\\Quellnet\\quellnet.exe\"");
  shell.executable_path.clear();
  SetRunAtStartup(true, registry, shell);
  ASSERT_NE(Entry(), nullptr);
  EXPECT_EQ(Entry()->text, L"\"C:\\Quellnet\\quellnet.exe\"");
}

}  // namespace
}  // namespace quellnet::app
