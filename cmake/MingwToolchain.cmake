# SPDX-License-Identifier: MIT
# What both mingw-w64 toolchains share; the including file sets _mingw (the
# target triple) and _wine (the Wine loader that runs the test executables).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 is the oldest system the headers are asked for; the program itself
# calls nothing newer than Vista's SetProcessDPIAware.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601")
# The C++ runtime and winpthread go into each .exe, so it runs on a clean
# Windows with nothing copied next to it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

if(EXISTS /usr/lib/wine/${_wine})
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/${_wine})
else()
  find_program(_wine_loader NAMES ${_wine} wine REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_wine_loader})
endif()
