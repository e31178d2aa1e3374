# A stand-in rasapi32.dll beside netopt.exe (Wine takes it with
# WINEDLLOVERRIDES=rasapi32=n), the driver that acts as the user, and one
# ctest test per scenario.
add_library(modem_rasapi32 SHARED simulator/rasapi32.cpp)
set_target_properties(modem_rasapi32 PROPERTIES OUTPUT_NAME rasapi32 PREFIX "")
target_link_options(modem_rasapi32 PRIVATE -static-libgcc -s)

# The yardstick of the start-up benchmark, built the way netopt.exe is.
add_executable(bare_dialog WIN32 tests/bench/bare_dialog.cpp tests/bench/bare_dialog.rc)
netopt_runtime_free(bare_dialog)

add_executable(e2e_driver
  tests/e2e/about_scenarios.cpp tests/e2e/benchmark.cpp tests/e2e/demo.cpp
  tests/e2e/dial_scenarios.cpp tests/e2e/driver.cpp tests/e2e/expect.cpp tests/e2e/machine.cpp
  tests/e2e/main.cpp tests/e2e/main_dialog_scenarios.cpp)
target_link_options(e2e_driver PRIVATE -static-libgcc -static-libstdc++ -static)
target_link_libraries(e2e_driver PRIVATE advapi32 comctl32 psapi)
add_dependencies(e2e_driver netopt modem_rasapi32 bare_dialog)

enable_testing()
set(NETOPT_SCENARIOS
  idle_and_keyboard close full_run check_fails dial_680 dial_631 dial_other about_dialog
  windows98)
foreach(scenario IN LISTS NETOPT_SCENARIOS)
  add_test(NAME e2e.${scenario}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run-scenario ${CMAKE_BINARY_DIR} ${scenario} ru_RU.UTF-8)
endforeach()
add_test(NAME e2e.english_locale
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run-scenario ${CMAKE_BINARY_DIR} english_locale en_US.UTF-8)
set_tests_properties(e2e.english_locale PROPERTIES TIMEOUT 120)
