#include "app/run_at_startup.h"

#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"

namespace quellnet::app {
namespace {

TEST(RunAtStartupData, QuotesTheWholePathAsItIs) {
  EXPECT_EQ(RunAtStartupData(L"C:\\Program Files\\Quellnet\\quellnet.exe"),
            L"\"C:\\Program Files\\Quellnet\\quellnet.exe\"");
  // Characters outside any ANSI code page stay as the system reports them.
  EXPECT_EQ(RunAtStartupData(L"D:\\Werkzeuge \x0416\x65e5\\Quellnet.EXE"),
            L"\"D:\\Werkzeuge \x0416\x65e5\\Quellnet.EXE\"");
}

TEST(SetRunAtStartup, ReplacesOrRemovesOnlyTheProgramsOwnEntry) {
  fakes::FakeRegistry registry;
  fakes::FakeShell shell;
  registry.Put(kRunKeyPath, L"Other", L"\"C:\\other.exe\"");
  const auto entry = [&] { return registry.Find(kRunKeyPath, L"Quellnet"); };

  EXPECT_TRUE(SetRunAtStartup(true, registry, shell));
  ASSERT_NE(entry(), nullptr);
  EXPECT_EQ(entry()->text, L"\"C:\\Quellnet\\quellnet.exe\"");
  // After the program moved, the value is replaced, never added again.
  shell.executable_path = L"E:\\Tools\\quellnet.exe";
  SetRunAtStartup(true, registry, shell);
  EXPECT_EQ(entry()->text, L"\"E:\\Tools\\quellnet.exe\"");
  EXPECT_EQ(registry.ValueCount(kRunKeyPath), 2u);

  // An unknown path would make a broken entry: the old one stays, and the
  // caller hears that the entry was not written.
  shell.executable_path.clear();
  EXPECT_FALSE(SetRunAtStartup(true, registry, shell));
  EXPECT_EQ(entry()->text, L"\"E:\\Tools\\quellnet.exe\"");

  // Removing an entry that is not there is no failure.
  EXPECT_TRUE(SetRunAtStartup(false, registry, shell));
  EXPECT_TRUE(SetRunAtStartup(false, registry, shell));
  EXPECT_EQ(entry(), nullptr);
  EXPECT_NE(registry.Find(kRunKeyPath, L"Other"), nullptr);
}

TEST(SetRunAtStartup, NeverCreatesAMissingRunKey) {
  fakes::FakeRegistry empty;
  fakes::FakeShell shell;
  EXPECT_FALSE(SetRunAtStartup(true, empty, shell));
  EXPECT_FALSE(empty.KeyExists(kRunKeyPath));
}

}  // namespace
}  // namespace quellnet::app
