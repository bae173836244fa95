#include <gtest/gtest.h>

#include "fakes/fake_controls.h"

// The fakes must behave like the real controls, or every test built on them
// proves nothing.
TEST(FakeCheckBox, RaisesClickOnlyWhenTheValueChangesAndRefusesOtherValues) {
  quellnet::fakes::FakeCheckBox box;
  int clicks = 0;
  box.on_click = [&] { ++clicks; };
  EXPECT_TRUE(box.SetValue(0));
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(box.SetValue(2));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(box.SetValue(7));
  EXPECT_FALSE(box.SetValue(-1));
  EXPECT_EQ(box.Value(), 2);
  EXPECT_EQ(clicks, 1);
}
