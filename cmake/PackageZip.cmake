# SPDX-License-Identifier: MIT
# `cpack` in the Windows build makes tapelark-VERSION-win32.zip: one folder
# with tapelark.exe (its runtime linked in), the README and the licence.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
# The mingw-w64 C runtime and winpthread are linked into the program; their
# notices go with it.
set(_runtime_notice /usr/share/doc/mingw-w64-common/copyright)
if(EXISTS ${_runtime_notice})
  install(FILES ${_runtime_notice} DESTINATION . RENAME mingw-w64-runtime-copyright.txt)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tapelark)
set(CPACK_PACKAGE_VENDOR Tapelark)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TAPELARK_ZIP_NAME tapelark-${PROJECT_VERSION}-win32)
else()
  set(TAPELARK_ZIP_NAME tapelark-${PROJECT_VERSION}-win64)
endif()
set(CPACK_PACKAGE_FILE_NAME ${TAPELARK_ZIP_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)  # the debugging symbols stay in the build
include(CPack)
