# Test helpers: every test executable carries the label of the library folder
# it exercises, so `ctest -L net_engine` runs one library's tests.
include(CTest)
find_package(GTest REQUIRED)
include(GoogleTest)

# tessivo_add_test(<name> LABEL <folder> SOURCES ... [LIBS ...] [TIMEOUT s] [ENVIRONMENT ...])
function(tessivo_add_test name)
  cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "tessivo_add_test(${name}) needs a LABEL")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()
