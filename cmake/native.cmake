# The native test of the test dial, with its own doubles of the platform
# layer, under ThreadSanitizer and UBSan (the native preset).
enable_testing()

# GoogleTest built from source with this build's flags, so that the
# sanitizers instrument it too; the installed library otherwise.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

add_executable(netopt_tests optimize/test_dial.cpp tests/unit/dial_race_test.cpp)
target_include_directories(netopt_tests PRIVATE tests/unit)
netopt_compile_options(netopt_tests)
target_link_libraries(netopt_tests PRIVATE GTest::gtest_main)
gtest_discover_tests(netopt_tests PROPERTIES ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1")
