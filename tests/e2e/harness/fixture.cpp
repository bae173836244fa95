#include "fixture.h"

namespace quellnet::e2e {

void QuellnetTest::SetUp() {
  ResetProgramState();
}

void QuellnetTest::TearDown() {
  program_.Kill();
  // A second copy that a test started by other means.
  KillProcessesNamed(kProgramFileName);
}

void QuellnetTest::StartProgram(const StartOptions& options) {
  ASSERT_TRUE(program_.Start(options)) << program_.LastError();
}

}  // namespace quellnet::e2e
