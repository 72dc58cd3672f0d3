// <windows.h> for the Windows programs. windows.h defines MessageBox as a
// macro, which would rename Runtime::Environment::MessageBox in every file
// that sees it; the macro is dropped here, and the code calls MessageBoxW.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef MessageBox
