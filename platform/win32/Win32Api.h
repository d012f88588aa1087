// The Windows headers, included once for the whole backend. Several Win32
// functions are macros named like operations of the seams (CreateWindow,
// FindWindow, GetMessage, DispatchMessage, DrawText); they are removed here so
// that the seams' names mean the same in every translation unit. Win32 code
// calls the wide functions by their W names.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <setupapi.h>
#include <shellapi.h>
// MinGW's hidsdi.h declares its functions without C linkage.
extern "C" {
#include <hidsdi.h>
}

#undef CreateWindow
#undef FindWindow
#undef GetMessage
#undef DispatchMessage
#undef DrawText
