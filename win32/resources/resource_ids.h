/* The resources' numbers, shared by tavrel.rc.in and the C++ code. */
#pragma once

#define IDI_TAVREL 1
#define IDC_POINTER 2
#define IDR_BANNER 3
