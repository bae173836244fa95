// Start-up, first paint and shutdown of the main window.
#include "app/form1.h"

namespace quellnet::app {

void Form1::Form_Load() {
  tray_.AddIcon();
  firstPaint_ = true;
}

void Form1::Form_Paint() {}

void Form1::Form_Unload() {}

}  // namespace quellnet::app
