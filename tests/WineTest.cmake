# The Wine test bed as a CTest fixture: the prefix and a persistent wineserver come up before
# the first Wine test and go down after the last, whatever the tests did.
set(PENDRAKE_TOOLS ${CMAKE_SOURCE_DIR}/tools)
set(PENDRAKE_WINE_ENV
    PENDRAKE_WINEPREFIX=${PENDRAKE_WINEPREFIX}
    PENDRAKE_BUILD_DIR=${CMAKE_BINARY_DIR}
    PENDRAKE_SOURCE_DIR=${CMAKE_SOURCE_DIR})

add_test(NAME winebed.start COMMAND ${PENDRAKE_TOOLS}/winebed.sh start)
add_test(NAME winebed.stop COMMAND ${PENDRAKE_TOOLS}/winebed.sh stop)
set_tests_properties(winebed.start PROPERTIES FIXTURES_SETUP winebed ENVIRONMENT "${PENDRAKE_WINE_ENV}"
                                              LABELS wine TIMEOUT 300)
set_tests_properties(winebed.stop PROPERTIES FIXTURES_CLEANUP winebed ENVIRONMENT "${PENDRAKE_WINE_ENV}"
                                             LABELS wine)

# pendrake_add_wine_test(NAME name [X86] COMMAND cmd... [LABELS l...] [ENVIRONMENT k=v...])
# A COMMAND that names a Windows executable target runs under Wine; a script runs as it is,
# with the bed's environment. X86 marks a test that executes 32-bit Windows code: on a host
# whose kernel cannot run such programs it is reported as skipped, with the bed's reason. Its
# COMMAND starts with a program path, not a target name.
# Skips are never silent: a check a running test cannot make prints a line "SKIP <what>: <why>"
# (tools/test.sh counts them, and gtest's skipped cases, in its summary); a gtest program runs
# with a --gtest_filter of the cases its run can make; the exit code 77 means a skip only for X86
# tests, where tools/x86-only.sh alone produces it.
function(pendrake_add_wine_test)
  cmake_parse_arguments(ARG "X86" "NAME;TIMEOUT" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
  if(ARG_X86)
    add_test(NAME ${ARG_NAME} COMMAND ${PENDRAKE_TOOLS}/x86-only.sh ${ARG_COMMAND})
    set_tests_properties(${ARG_NAME} PROPERTIES SKIP_RETURN_CODE 77)
  else()
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${ARG_NAME} PROPERTIES
    FIXTURES_REQUIRED winebed
    RESOURCE_LOCK wineprefix
    LABELS "wine;${ARG_LABELS}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "${PENDRAKE_WINE_ENV};${ARG_ENVIRONMENT}")
endfunction()
