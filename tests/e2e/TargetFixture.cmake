# The end-to-end tests' target application.
add_executable(TargetFixture WIN32
  tests/e2e/TargetFixture.cpp
  tests/e2e/FixtureSupport.cpp
  tests/e2e/ItemsFixture.cpp)
target_include_directories(TargetFixture PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(TargetFixture PRIVATE comctl32 user32 gdi32)
if(MINGW)
  target_link_options(TargetFixture PRIVATE -municode)
endif()
