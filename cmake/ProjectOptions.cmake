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
