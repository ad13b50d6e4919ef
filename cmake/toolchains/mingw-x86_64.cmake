# Cross build for 64-bit Windows with mingw-w64 (x86_64-w64-mingw32): the library's
# and the configurator's DLLs against the real Windows headers
# (scripts/cross_build.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VT_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
