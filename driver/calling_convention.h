#pragma once

// The Windows API calling convention: arguments on the stack, removed by the callee.
// The Linux twin keeps the same convention so both builds share one set of declarations.
#if defined(_WIN32)
#define QOR_WINAPI __stdcall
#else
#define QOR_WINAPI __attribute__((stdcall))
#endif

// Marks the library's one export.
#if defined(_WIN32)
#define QOR_EXPORT __declspec(dllexport)
#else
#define QOR_EXPORT __attribute__((visibility("default")))
#endif
