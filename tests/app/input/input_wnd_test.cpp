#include "app/frame/input/frame_input.h"
#include <gtest/gtest.h>
TEST(InputWnd, Builds) {}
