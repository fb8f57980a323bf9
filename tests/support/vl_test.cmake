# vl_test: the one way a test is registered with ctest, so every case is named <area>.<case>.
#
# A script or program run as one ctest case:
#     vl_test(shell caption COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/caption_test.sh
#             ENVIRONMENT VELLAMOR_BIN=$<TARGET_FILE:vellamor> TIMEOUT 180)
#   registers "shell.caption". COMMAND is everything up to the next keyword; a script is run
#   through bash, so it needs no executable bit.
#
# A GoogleTest program, one ctest case per TEST:
#     add_executable(timeline_test timeline_test.cpp)
#     target_link_libraries(timeline_test PRIVATE vl_show_for_tests ...)
#     vl_test(timeline GTEST timeline_test)
#   registers "timeline.<suite>.<test>" for each test in it; gtest_main is linked in here.
#
# Options: QUICK puts the case (every case of a GoogleTest program) in the quick subset, run by
# `scripts/test.sh -L quick`: each area keeps a few cases there that together still reach its
# code, and the subset stays under three minutes; TIMEOUT seconds (default 120);
# ENVIRONMENT VAR=value ... (one case only). The area is the test's folder under tests/.
#
# Every case needs the build fixture (vl_build_fixture, below): ctest builds whatever is out of
# date before the first case runs, so no case runs a stale program.
#
# From the older forms: add_test(NAME area_case COMMAND ...) becomes vl_test(area case COMMAND ...)
# with its set_tests_properties folded in; gtest_discover_tests(target ...) becomes
# vl_test(area GTEST target), and GTest::gtest_main leaves the target's link line.
include_guard(GLOBAL)
include(GoogleTest)

function(vl_test area name)
  if(name STREQUAL "GTEST")
    set(_first 3)
  else()
    set(_first 2)
  endif()
  cmake_parse_arguments(PARSE_ARGV ${_first} arg "QUICK" "TIMEOUT" "COMMAND;ENVIRONMENT")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vl_test(${area} ${name}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  set(_properties TIMEOUT ${arg_TIMEOUT} FIXTURES_REQUIRED vl_build)
  if(arg_QUICK)
    list(APPEND _properties LABELS quick)
  endif()

  if(name STREQUAL "GTEST")
    set(_target ${ARGV2})
    if(NOT TARGET "${_target}" OR arg_COMMAND)
      message(FATAL_ERROR "vl_test(${area} GTEST target): '${_target}' is not a program target")
    endif()
    target_link_libraries(${_target} PRIVATE GTest::gtest_main)
    # the properties are set when the cases are listed, before each run
    if(arg_ENVIRONMENT)
      message(FATAL_ERROR "vl_test(${area} GTEST ${_target}): a GoogleTest program takes no ENVIRONMENT")
    endif()
    gtest_discover_tests(${_target} DISCOVERY_MODE PRE_TEST TEST_PREFIX ${area}.
                         PROPERTIES ${_properties})
    return()
  endif()

  if(NOT arg_COMMAND)
    message(FATAL_ERROR "vl_test(${area} ${name}): no COMMAND")
  endif()
  list(GET arg_COMMAND 0 _program)
  if(_program MATCHES "\\.sh$")
    list(PREPEND arg_COMMAND bash)
  endif()
  add_test(NAME ${area}.${name} COMMAND ${arg_COMMAND})
  set_tests_properties(${area}.${name} PROPERTIES ${_properties})
  if(arg_ENVIRONMENT)
    set_tests_properties(${area}.${name} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
  endif()
endfunction()

# The build fixture, registered once before any vl_test: the case "build.all_targets" runs
# `cmake --build` on this build folder, and every vl_test case requires it, so ctest, whatever it
# is asked to run, first brings the programs up to date (with nothing to build it costs about 5 s
# of CPU, 10 to 25 s on a busy two-core machine). A failed build skips every case rather than letting them run old programs. GoogleTest
# cases are listed when ctest starts, from the programs as they were: after adding or renaming a
# TEST, build before running ctest (as every recipe in docs/CHANGING.md does). To skip the
# fixture on purpose, `ctest -FA vl_build`.
function(vl_build_fixture)
  include(ProcessorCount)
  ProcessorCount(_cores)
  if(_cores EQUAL 0)
    set(_cores 2)
  endif()
  add_test(NAME build.all_targets COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} -j${_cores})
  set_tests_properties(build.all_targets PROPERTIES FIXTURES_SETUP vl_build TIMEOUT 3600)
endfunction()
