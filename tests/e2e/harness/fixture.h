// The GoogleTest fixture of the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include "harness.h"

// Skips the rest of a test that only Windows itself can run, naming why.
#define QUELLNET_SKIP_UNDER_WINE(why) \
  if (::quellnet::e2e::IsWine())      \
  GTEST_SKIP() << "Wine " << why

namespace quellnet::e2e {

// Every test starts with no stored options or run-at-logon value, and ends
// with its program ended and the screen's DPI back at 96, for the programs
// that run after it in the same session (on Windows, one after another).
class QuellnetTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgramState(); }
  void TearDown() override {
    program_.Kill();
    SetScreenDpi(96);
  }

  // Starts the program (asserting that it starts and shows its window).
  // Use as: ASSERT_NO_FATAL_FAILURE(StartProgram());
  void StartProgram(const StartOptions& options = {}) {
    ASSERT_TRUE(program_.Start(options)) << program_.LastError();
  }
  HWND Main() const { return program_.MainWindow(); }
  HWND Control(int id) const { return program_.Control(id); }

  ProgramUnderTest program_;
};

}  // namespace quellnet::e2e
