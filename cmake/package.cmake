# Packs the download into OUT: netopt-<VERSION>.zip, holding NETOPT.EXE and
# README.TXT, and SHA256SUMS. Its bytes do not depend on where, when or by
# whom it is made: fixed names, order and permissions; the tar records each
# entry's owner and group, which the reproducible-builds project's normaliser,
# strip-nondeterminism, makes 0, and its time, which the normaliser makes
# SOURCE_DATE_EPOCH (the last commit's unless it is set), in UTC, whatever
# the builder's time zone.
# cmake -DEXE=<exe> -DREADME=<file> -DVERSION=<version> -DOUT=<folder> -P package.cmake
# (the README's "@VERSION@" becomes VERSION)
cmake_minimum_required(VERSION 3.25)
find_program(STRIP_NONDETERMINISM strip-nondeterminism REQUIRED)

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

set(zip netopt-${VERSION}.zip)
file(REMOVE_RECURSE ${OUT})
file(COPY ${EXE} DESTINATION ${OUT}/files FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ
     WORLD_READ)
get_filename_component(exe ${EXE} NAME)
file(RENAME ${OUT}/files/${exe} ${OUT}/files/NETOPT.EXE)
# The README as it stands (Windows-1251, CR LF), with the version.
configure_file(${README} ${OUT}/files/README.TXT @ONLY NEWLINE_STYLE CRLF
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ../${zip} --format=zip NETOPT.EXE README.TXT
                WORKING_DIRECTORY ${OUT}/files COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${STRIP_NONDETERMINISM} --type zip --timestamp $ENV{SOURCE_DATE_EPOCH}
                        ${OUT}/${zip} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${OUT}/files)
file(SHA256 ${OUT}/${zip} hash)
file(WRITE ${OUT}/SHA256SUMS "${hash}  ${zip}\n")
