# netopt.exe, the release for Windows 98: the portable code, the Windows
# platform layer, the dialog code and the resources, built for the i686.
enable_language(RC)
set(CMAKE_RC_FLAGS "-c 1251")

set(NETOPT_WINDOWS_SOURCES
  app/about_dialog.cpp
  app/entry.cpp
  app/main_dialog_proc.cpp
  platform/win32/alerts.cpp
  platform/win32/dialog.cpp
  platform/win32/dialup.cpp
  platform/win32/process.cpp
  platform/win32/registry.cpp
  platform/win32/runtime.cpp
  platform/win32/text.cpp
  resources/netopt.rc
)
add_executable(netopt WIN32 ${NETOPT_CORE_SOURCES} ${NETOPT_WINDOWS_SOURCES})
netopt_compile_options(netopt)
# No C or C++ runtime: no exceptions, RTTI, unwind tables or guarded statics,
# no startup code; the entry point is the program's own NetoptStart. The
# compiler must not turn loops into calls to memset and memcpy, which the
# program defines for the copies the compiler cannot avoid. Any 486, the
# Windows 4.0 subsystem, and no relocations, which only ASLR would use. Its
# size comes from the build type, MinSizeRel (-Os), that the win32 preset sets.
target_compile_options(netopt PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:-march=i486 -mtune=i486 -fno-exceptions -fno-rtti
  -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-threadsafe-statics
  -fno-tree-loop-distribute-patterns -fno-stack-protector -ffunction-sections>)
target_link_options(netopt PRIVATE
  -nostartfiles -nodefaultlibs -static-libgcc -s -Wl,--gc-sections -Wl,--no-insert-timestamp
  -Wl,-e,_NetoptStart -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
  -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  -Wl,--disable-dynamicbase -Wl,--disable-nxcompat -Wl,--disable-reloc-section)
target_link_libraries(netopt PRIVATE comctl32 advapi32 rasapi32 user32 kernel32 gcc)
# Windows 4.0 interfaces only where the program calls Windows, so that newer
# ones cannot creep in. Not for the portable code, which calls none: the
# thread support of GCC 14's libstdc++, which <atomic> draws in, will not
# build for a Windows older than Vista, though the program uses none of it
# (the release check proves what it imports).
set_source_files_properties(${NETOPT_WINDOWS_SOURCES} PROPERTIES
  COMPILE_DEFINITIONS "WINVER=0x0400;_WIN32_WINNT=0x0400;WIN32_LEAN_AND_MEAN")

# Debian's python3, which Debian's python3-pefile serves, whatever else the
# PATH holds.
find_program(NETOPT_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

# The icon is drawn as text in resources/icon.txt and built into an .ico.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/netopt.ico
  COMMAND ${NETOPT_PYTHON} ${CMAKE_SOURCE_DIR}/resources/make_icon.py
          ${CMAKE_SOURCE_DIR}/resources/icon.txt ${CMAKE_BINARY_DIR}/netopt.ico
  DEPENDS resources/make_icon.py resources/icon.txt)
add_custom_target(netopt_icon DEPENDS ${CMAKE_BINARY_DIR}/netopt.ico)
add_dependencies(netopt netopt_icon)
# The resource script finds the icon and the version in the build folder.
set_source_files_properties(resources/netopt.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/info.txt;${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_BINARY_DIR}/netopt.ico;${CMAKE_BINARY_DIR}/version.h")

# Proof from the file that the release loads on Windows 98.
enable_testing()
add_test(NAME release.check_exe
  COMMAND ${NETOPT_PYTHON} ${CMAKE_SOURCE_DIR}/tests/release/check_release.py $<TARGET_FILE:netopt>
          ${CMAKE_OBJDUMP} ${CMAKE_SOURCE_DIR}/tests/release/win98-exports.txt
          ${CMAKE_SOURCE_DIR}/tests/release/nt-only-imports.txt)

# The download in <build>/release: a zip of the exe and a Russian README.TXT,
# and its checksum (cmake/package.cmake), and the proof that its bytes do not
# depend on where or when they were built.
add_custom_target(release
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:netopt> -DREADME=${CMAKE_SOURCE_DIR}/package/README.TXT
          -DVERSION=${PROJECT_VERSION} -DOUT=${CMAKE_BINARY_DIR}/release
          -P ${CMAKE_SOURCE_DIR}/cmake/package.cmake
  DEPENDS netopt)
add_test(NAME release.reproducible
  COMMAND ${CMAKE_SOURCE_DIR}/tests/release/reproducible ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
          ${PROJECT_VERSION})
set_tests_properties(release.check_exe PROPERTIES TIMEOUT 120)
set_tests_properties(release.reproducible PROPERTIES TIMEOUT 600)

# The release run under Wine as its user runs it: always, so that no switch
# leaves these tests out unseen.
include(cmake/e2e.cmake)
