#pragma once
// The shared helpers for driving real windows in tests (waiting with a deadline, plain
// top-level windows, window texts), from wherever this checkout keeps them.
#if __has_include("common/win32/test_support/window_testing.h")
#include "common/win32/test_support/window_testing.h"
namespace kanopa::editor::win32::testkit {
using namespace kanopa::testing;
}
#else
#include "viewer/win32/tests/test_support.h"
namespace kanopa::editor::win32::testkit {
using namespace kanopa::viewer::win32::testing;
}
#endif
