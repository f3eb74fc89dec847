# Cross build for 32-bit Windows with MinGW-w64: the 32-bit target fixture of the end-to-end
# tests, which the 64-bit build makes with this toolchain.
set(TESSIVANE_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
