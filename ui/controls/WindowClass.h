#pragma once

#include <windows.h>

// Registers a window class with the arrow cursor and no background brush
// (its windows paint themselves), once per module: true when the class
// is there afterwards, also when an earlier window registered it.
bool RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style = 0);
