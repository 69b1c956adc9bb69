# Compiler settings shared by every target of the project.
add_library(pendrake_options INTERFACE)
target_compile_features(pendrake_options INTERFACE cxx_std_20)
target_compile_options(pendrake_options INTERFACE -Wall -Wextra)

if(WIN32)
  # Only system DLLs may be imported: the C++ runtime and winpthread go in statically.
  target_compile_definitions(pendrake_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                        _WIN32_WINNT=0x0601)
  target_link_options(pendrake_options INTERFACE -static -static-libgcc -static-libstdc++)
elseif(PENDRAKE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PENDRAKE_FUZZ needs clang (libFuzzer): use the fuzz preset")
  endif()
  # Every library gets the coverage the fuzzer steers by; the targets link the fuzzer's main.
  # Any sanitizer report stops the run, so it counts as a crash.
  target_compile_options(pendrake_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                    -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(pendrake_options INTERFACE -fsanitize=address,undefined)
elseif(PENDRAKE_SANITIZE)
  target_compile_options(pendrake_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(pendrake_options INTERFACE -fsanitize=address,undefined)
endif()

# GoogleTest: the system package natively, built from Debian's sources for Windows.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Debian's sources define the GTest:: aliases themselves.
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
elseif(NOT PENDRAKE_FUZZ)
  find_package(GTest REQUIRED)
endif()

# Every time stamp a Windows build writes (the linker's and strip's in the PE and export
# headers, widl's in the type library, the file times the installer stores) is one moment: the
# last commit's time, or SOURCE_DATE_EPOCH when the caller gives it. Two builds of one commit then
# give the same bytes wherever they run. The moment is part of each command that writes a time
# stamp, so a new one remakes what holds the old one.
if(WIN32)
  if(NOT DEFINED PENDRAKE_SOURCE_DATE_EPOCH)
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
    if(epoch STREQUAL "")
      execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    set(PENDRAKE_SOURCE_DATE_EPOCH "${epoch}" CACHE STRING
        "Seconds since 1970 written as every time stamp of the build; empty: the time of building")
  endif()
  set(PENDRAKE_EPOCH_ENV "")
  if(NOT PENDRAKE_SOURCE_DATE_EPOCH STREQUAL "")
    if(NOT PENDRAKE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
      message(FATAL_ERROR "PENDRAKE_SOURCE_DATE_EPOCH is not a number of seconds: ${PENDRAKE_SOURCE_DATE_EPOCH}")
    endif()
    # ld and strip read SOURCE_DATE_EPOCH; widl reads WIDL_TIME_OVERRIDE and prints it in local time.
    set(PENDRAKE_EPOCH_ENV ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${PENDRAKE_SOURCE_DATE_EPOCH}
                           WIDL_TIME_OVERRIDE=${PENDRAKE_SOURCE_DATE_EPOCH} TZ=UTC)
    set(CMAKE_C_LINKER_LAUNCHER ${PENDRAKE_EPOCH_ENV})
    set(CMAKE_CXX_LINKER_LAUNCHER ${PENDRAKE_EPOCH_ENV})
  endif()
endif()
