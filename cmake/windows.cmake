# netopt.exe for Windows: the portable code, the Windows platform layer, the
# dialog code and the resources.
enable_language(RC)
set(CMAKE_RC_FLAGS "-c 1251")

add_executable(netopt WIN32
  ${NETOPT_CORE_SOURCES}
  app/about_dialog.cpp
  app/entry.cpp
  app/main_dialog_proc.cpp
  platform/win32/alerts.cpp
  platform/win32/dialog.cpp
  platform/win32/dialup.cpp
  platform/win32/process.cpp
  platform/win32/registry.cpp
  platform/win32/text.cpp
  resources/netopt.rc
)
# The icon is drawn as text in resources/icon.txt and built into an .ico.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/netopt.ico
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/resources/make_icon.py
          ${CMAKE_SOURCE_DIR}/resources/icon.txt ${CMAKE_BINARY_DIR}/netopt.ico
  DEPENDS resources/make_icon.py resources/icon.txt)
add_custom_target(netopt_icon DEPENDS ${CMAKE_BINARY_DIR}/netopt.ico)
add_dependencies(netopt netopt_icon)
set_source_files_properties(resources/netopt.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/info.txt;${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_BINARY_DIR}/netopt.ico")
target_include_directories(netopt PRIVATE platform/win32 resources ${CMAKE_BINARY_DIR})
target_compile_definitions(netopt PRIVATE WINVER=0x0400 _WIN32_WINNT=0x0400 WIN32_LEAN_AND_MEAN)
# No exceptions, RTTI, unwind tables or guarded statics: nothing that needs a
# C++ runtime.
target_compile_options(netopt PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:-Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
  -fno-unwind-tables -fno-threadsafe-statics>)
target_link_options(netopt PRIVATE -static-libgcc -static-libstdc++ -s)
target_link_libraries(netopt PRIVATE comctl32 advapi32 rasapi32)

# The simulated Windows 98 dial-up machine and the end-to-end tests that run
# the program on it under Wine (the win64 preset).
option(NETOPT_E2E "Build the simulated modem and the end-to-end tests" OFF)
if(NETOPT_E2E)
  include(cmake/e2e.cmake)
endif()
