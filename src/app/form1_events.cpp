#include "app/form1_events.h"

#include "app/form1_ids.h"

namespace quellnet::app {

void Form1Events::Clicked(int id) {
  switch (id) {
    case kIdChkmess:
      chkmess_Click();
      break;
    case kIdCommand1:
      Command1_Click();
      break;
    case kIdCommand2:
      Command2_Click();
      break;
    case kIdLabel3:
      Label3_Click();
      break;
    case kIdMnuopen:
      mnuopen_Click();
      break;
    case kIdMnuclose:
      mnuclose_Click();
      break;
    default:
      break;
  }
}

}  // namespace quellnet::app
