# Shared build rules. Every library of a subsystem folder takes all sources of
# its folder tree, so adding a file needs no edit here.

set(ZOVA_WARNINGS -Wall -Wextra -Werror)

function(zova_library name dir)
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE ${ZOVA_WARNINGS} ${ZOVA_FUZZ_INSTRUMENT})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    # A subsystem that has no code yet still takes part in the link chain.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# zova_tests(name dir LIBS lib... [LABELS label])
# One label only: gtest_discover_tests passes properties as flat name/value
# pairs, so a list would turn its second element into a property name.
function(zova_tests name dir)
  cmake_parse_arguments(ARG "" "" "LABELS;LIBS" ${ARGN})
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_compile_options(${name} PRIVATE ${ZOVA_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} zova_testsupport GTest::gtest_main GTest::gmock
                                        Threads::Threads)
  target_compile_definitions(${name} PRIVATE ZOVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             ZOVA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}"
                       TIMEOUT 300)
endfunction()
