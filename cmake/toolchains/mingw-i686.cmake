# Cross build for 32-bit Windows with mingw-w64 (i686-w64-mingw32): the library's
# and the configurator's DLLs against the real Windows headers
# (scripts/cross_build.sh).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VT_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
