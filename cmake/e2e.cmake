# The simulated dial-up service beside netopt.exe, the driver that acts as
# the user, and a ctest test for each scenario, run side by side in copies of
# the Wine prefix that the first test makes; the last test finds what they
# may have left behind.
add_library(modem_rasapi32 SHARED simulator/rasapi32.cpp)
set_target_properties(modem_rasapi32 PROPERTIES OUTPUT_NAME rasapi32 PREFIX "")
netopt_compile_options(modem_rasapi32)
# The exe imports the functions under their plain names, not RasDialA@24.
target_link_options(modem_rasapi32 PRIVATE -static-libgcc -s -Wl,--kill-at)

# The driver, built for x86_64 Windows, which Wine runs without qemu.
# e2e.cpp includes the others.
set(driver_sources tests/e2e/e2e.cpp tests/e2e/check.h tests/e2e/input.h tests/e2e/logs.h
    tests/e2e/pixels.h tests/e2e/program.h tests/e2e/screen.h)
add_custom_command(OUTPUT e2e-driver.exe
  COMMAND x86_64-w64-mingw32-g++ -std=c++20 -O2 ${NETOPT_WARNINGS} -static
          ${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cpp -lgdi32 -lcomctl32 -o e2e-driver.exe
  DEPENDS ${driver_sources} resources/resource.h platform/dial_params.h
  COMMAND_EXPAND_LISTS)
add_custom_target(e2e_driver ALL DEPENDS e2e-driver.exe)

# Each deadline outlasts the waits within it, which name themselves when they
# run out: 600 s at most in all to make the prefix (scripts/wine-env), 30 s
# for a scenario's display and 30 s each for its windows.
set(run_scenario ${CMAKE_SOURCE_DIR}/tests/e2e/run-scenario ${CMAKE_BINARY_DIR})
add_test(NAME e2e.prefix COMMAND ${run_scenario} prefix)
set_tests_properties(e2e.prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 900)
# Each scenario with the seconds it waits before it starts: the two longest, of
# two whole runs each, at once, the others once those have Wine up, so that six
# starts of Wine under qemu do not share two cores at one moment.
foreach(scenario success:0 dial_692:0 dial_680:3 dial_678:5 win98_cp1252:7 check_and_about:9)
  string(REPLACE ":" ";" scenario ${scenario})
  list(GET scenario 0 name)
  list(GET scenario 1 delay)
  add_test(NAME e2e.${name} COMMAND ${run_scenario} ${name})
  set_tests_properties(e2e.${name} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 300
                       ENVIRONMENT "NETOPT_VERSION=${PROJECT_VERSION};NETOPT_START_AFTER=${delay}")
endforeach()
# The download's copy, compiled from scratch, once the shortest scenario is done.
set_tests_properties(release.reproducible PROPERTIES DEPENDS e2e.check_and_about)
add_test(NAME e2e.leftovers COMMAND ${run_scenario} leftovers)
set_tests_properties(e2e.leftovers PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60)
