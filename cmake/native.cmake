# The portable code and its unit tests against the test doubles.
enable_testing()

# GoogleTest built from source with this build's flags, so that the
# sanitizer builds instrument it too; the installed library otherwise.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

add_executable(netopt_tests
  ${NETOPT_CORE_SOURCES}
  tests/fakes/fake_about.cpp
  tests/fakes/fake_clock.cpp
  tests/fakes/fake_dialog.cpp
  tests/fakes/fake_dialup.cpp
  tests/fakes/fake_log.cpp
  tests/fakes/fake_registry.cpp
  tests/cp1251_test.cpp
  tests/main_dialog_test.cpp
  tests/mtu_settings_test.cpp
  tests/run_test.cpp
  tests/test_dial_test.cpp
)
target_include_directories(netopt_tests PRIVATE tests/fakes)
target_compile_definitions(netopt_tests PRIVATE
  NETOPT_INFO_TEXT_PATH="${CMAKE_SOURCE_DIR}/resources/info.txt")
target_link_libraries(netopt_tests PRIVATE GTest::gtest_main)
# The sanitizer builds name their tests apart, since one ctest run covers all.
gtest_discover_tests(netopt_tests TEST_SUFFIX "${NETOPT_TEST_SUFFIX}")
