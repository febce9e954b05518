#include <gtest/gtest.h>

#include "input/numbers.h"

TEST(Numbers, Placeholder) { EXPECT_EQ(px::F2(0.125), "0.13"); }
