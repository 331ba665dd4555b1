# SPDX-License-Identifier: MIT
# Cross build of the Windows program with mingw-w64: a 32-bit program, which
# runs on 32-bit Windows and, under WoW64, on 64-bit Windows. This is what
# ships. The test executables run under Wine's 32-bit loader, so `ctest` works
# from Linux.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_mingw i686-w64-mingw32)
set(_wine wine)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
