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
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT})
  # A list does not survive the discovery's PROPERTIES (only its first element
  # would arrive), so the environment is set by a script ctest runs after the
  # discovered tests were added.
  if(T_ENVIRONMENT)
    set(environment_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
    file(WRITE ${environment_script}
      "if(DEFINED ${name}_TESTS)\n"
      "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${T_ENVIRONMENT}]==])\n"
      "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_script})
  endif()
endfunction()
