# SPDX-License-Identifier: MIT
# The same sources as a 64-bit Windows program, for machines that run no
# 32-bit programs: there the Windows tests run on this build under Wine's
# 64-bit loader. What ships is the 32-bit build (mingw-w64-i686.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_mingw x86_64-w64-mingw32)
set(_wine wine64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
