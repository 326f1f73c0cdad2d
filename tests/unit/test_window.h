// test_window.h — opening a real window in a test; the X and GL libraries' own leaks are not counted
#pragma once
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

// The GL driver keeps allocations until exit and is unloaded before the leak check runs, so its
// stacks cannot be told apart from ours. A test that opens a window stops leak tracking; the
// tests that open no window still check every allocation.
inline void test_window_ignore_library_leaks() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
}

inline bool test_window_display_available() { return getenv("DISPLAY") != nullptr; }
