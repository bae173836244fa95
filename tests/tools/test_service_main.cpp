// The main of the end-to-end test programs that register themselves as the
// stand-in "Messenger" service (test_service.h): started by the Service
// Control Manager, the program serves the service; started by ctest, it runs
// its tests.
#include <gmock/gmock.h>

#include "tools/test_service.h"

int main(int argc, char** argv) {
  quellnet::tools::ServeIfStartedAsService();
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
