# Tests of every tree: CTest, GoogleTest, and how long a test may run.
#
# A hang must fail fast and name its program, not hold ctest for its default 25 minutes. Every test
# that runs Windows code under Wine (all tests of a Windows tree, and native tests labelled "wine")
# gets a timeout of a few times its running time through qemu-user on a busy machine (the slowest
# programs take 20-30 s there with the load at 8 on two cores); a test that needs longer says so
# with TIMEOUT. Any test of a Windows tree added without these functions still
# gets the tree's default.
set(QV_WINE_TEST_TIMEOUT 180 CACHE STRING "Seconds a test that runs Windows code may take")
if(WIN32)
  set(DART_TESTING_TIMEOUT ${QV_WINE_TEST_TIMEOUT})
endif()
include(CTest)

# GoogleTest for both builds. Natively the installed package; for Windows built from Debian's sources.
if(QV_WINDOWS)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# qv_add_test(name COMMAND ... [TIMEOUT seconds]): a test of a Windows tree that is not a
# GoogleTest program (a script or a plain program).
function(qv_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${QV_WINE_TEST_TIMEOUT})
  endif()
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()

# qv_add_gtest(name SOURCES ... LIBS ... [WINE] [TIMEOUT seconds]): one GoogleTest program. Under
# Wine each program is one ctest test, since every Wine start costs seconds; natively each case is
# its own test, and WINE marks a native program whose cases start Windows programs under Wine.
function(qv_add_gtest name)
  cmake_parse_arguments(ARG "WINE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${QV_WINE_TEST_TIMEOUT})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main qv_warnings)
  if(QV_WINDOWS)
    qv_add_test(${name} COMMAND ${name} TIMEOUT ${ARG_TIMEOUT})
  elseif(ARG_WINE)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS wine)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
