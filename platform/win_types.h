// The few Windows-style types that the show's platform calls are written with.
#pragma once

#include <cstdint>

typedef std::uint32_t DWORD;
typedef std::uint64_t QWORD;
typedef int BOOL;
typedef void* HWND;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
