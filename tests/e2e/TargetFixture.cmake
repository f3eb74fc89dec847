# The end-to-end tests' target application. A 64-bit MinGW build also makes it for 32-bit
# Windows, as TargetFixture32.exe beside the tests, so that reading a 32-bit program's controls
# from a 64-bit one can be tested: this source tree configured again with the i686 toolchain and
# TESSIVANE_FIXTURE_ONLY, which builds nothing but the fixture.
add_executable(TargetFixture WIN32
  tests/e2e/TargetFixture.cpp
  tests/e2e/FixtureSupport.cpp
  tests/e2e/ItemsFixture.cpp
  tests/e2e/AccessibleFixture.cpp
  tests/e2e/AccessibleObject.cpp)
target_include_directories(TargetFixture PRIVATE ${CMAKE_SOURCE_DIR})
# The accessible mode's panel answers for itself through MSAA, as a COM server.
target_link_libraries(TargetFixture PRIVATE comctl32 user32 gdi32 oleacc ole32 oleaut32 uuid)
if(MINGW)
  target_link_options(TargetFixture PRIVATE -municode)
endif()

if(MINGW AND CMAKE_SIZEOF_VOID_P EQUAL 8 AND NOT TESSIVANE_FIXTURE_ONLY)
  include(ExternalProject)
  ExternalProject_Add(TargetFixture32
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    PREFIX ${CMAKE_BINARY_DIR}/fixture32
    BINARY_DIR ${CMAKE_BINARY_DIR}/fixture32/build
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-i686.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DTESSIVANE_FIXTURE_ONLY=ON
    # Its sources are this tree's: its own build decides each time what is out of date.
    BUILD_ALWAYS ON
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different <BINARY_DIR>/TargetFixture.exe
                    ${CMAKE_BINARY_DIR}/TargetFixture32.exe
    BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/TargetFixture32.exe)
endif()
