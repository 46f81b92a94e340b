#include "show/show_window.h"

namespace {
ShowWindow* current = nullptr;
}

void set_show_window(ShowWindow* window) { current = window; }
ShowWindow* show_window() { return current; }
