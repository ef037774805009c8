# ambience_library(NAME DEPS...): a static library of every .cpp below the calling
# folder, named ambience_NAME, with src/ as its include root.
function(ambience_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources INCLUDE REGEX ".*\\.(cpp|h)$")
  set(cpps ${sources})
  list(FILTER cpps INCLUDE REGEX ".*\\.cpp$")
  if(cpps)
    add_library(ambience_${name} STATIC ${sources})
    target_include_directories(ambience_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(ambience_${name} PUBLIC ${ARGN})
  else()
    # Nothing built yet: headers only.
    add_library(ambience_${name} INTERFACE)
    target_include_directories(ambience_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(ambience_${name} INTERFACE ${ARGN})
  endif()
endfunction()

# ambience_gtest(NAME SOURCES... LIBS libs...): a GoogleTest executable whose cases
# CTest runs one by one, and once more all in one process (NAME.whole, label
# "whole"). Tests never see the real home folder: HOME and the XDG
# folders point into the build tree, and Qt runs offscreen.
find_package(GTest)
function(ambience_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} ambience_testsupport GTest::gtest GTest::gmock)
  set(home ${CMAKE_BINARY_DIR}/testhome/${name})
  # The environment goes in through "cmake -E env" as the target's launcher:
  # gtest_discover_tests would split an ENVIRONMENT list at its semicolons.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env
      HOME=${home} XDG_CONFIG_HOME=${home}/config XDG_DATA_HOME=${home}/data
      QT_QPA_PLATFORM=offscreen
      AMBIENCE_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data
      AMBIENCE_BUILD_BIN=${CMAKE_BINARY_DIR}/bin
      AMBIENCE_SOURCE_DIR=${PROJECT_SOURCE_DIR})
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
  # The same cases in one process, as a developer runs the program by hand: no
  # case may depend on running alone, nor leave anything behind for the next.
  add_test(NAME ${name}.whole
    COMMAND ${CMAKE_COMMAND} -E env
      HOME=${home}-whole XDG_CONFIG_HOME=${home}-whole/config XDG_DATA_HOME=${home}-whole/data
      QT_QPA_PLATFORM=offscreen
      AMBIENCE_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data
      AMBIENCE_BUILD_BIN=${CMAKE_BINARY_DIR}/bin
      AMBIENCE_SOURCE_DIR=${PROJECT_SOURCE_DIR}
      $<TARGET_FILE:${name}>)
  set_tests_properties(${name}.whole PROPERTIES LABELS whole TIMEOUT 1800)
endfunction()
