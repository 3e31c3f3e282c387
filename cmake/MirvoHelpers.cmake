# mirvo_sources(<var> <dir>...): every .cpp below the given folders.
function(mirvo_sources var)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND result ${found})
  endforeach()
  set(${var} ${result} PARENT_SCOPE)
endfunction()

# mirvo_test(<name> DIRS <dir>... LIBS <lib>...): one GoogleTest program made
# of every test source below the folders, registered with CTest.
function(mirvo_test name)
  cmake_parse_arguments(T "" "" "DIRS;LIBS" ${ARGN})
  mirvo_sources(srcs ${T_DIRS})
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "MIRVO_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()
