# The portable code built natively, which proves that it needs no Windows
# header, and the native test of the test dial, with its own doubles of the
# platform layer, under ThreadSanitizer and UBSan (the native preset).
enable_testing()

# An archive, so that the test takes only the objects it calls into.
add_library(netopt_core STATIC ${NETOPT_CORE_SOURCES})
netopt_compile_options(netopt_core)

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

add_executable(netopt_tests tests/unit/dial_race_test.cpp)
netopt_compile_options(netopt_tests)
target_link_libraries(netopt_tests PRIVATE netopt_core GTest::gtest_main)
gtest_discover_tests(netopt_tests PROPERTIES ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1" TIMEOUT 120)
