# zorkit_layer(<name> INTO <shared library> FOLDER <folder> [USES <target>...]
#              [PRIVATE_USES <target>...] SOURCES <file>...)
# One layer or subsystem: an object library zorkit_<name> that sees only the layers it
# USES, built into one of the two shared objects. Its public headers (the *.h files of
# its folder; machinery lives in internal/ and stays behind) install under
# include/zorkit/<folder>.
function(zorkit_layer name)
  cmake_parse_arguments(ARG "" "INTO;FOLDER" "SOURCES;USES;PRIVATE_USES" ${ARGN})
  add_library(zorkit_${name} OBJECT ${ARG_SOURCES})
  target_include_directories(zorkit_${name} PUBLIC
    $<BUILD_INTERFACE:${ZORKIT_INCLUDE_ROOT}>
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>)
  target_link_libraries(zorkit_${name} PUBLIC ${ARG_USES} PRIVATE ${ARG_PRIVATE_USES})
  target_link_libraries(${ARG_INTO} PRIVATE zorkit_${name})
  file(GLOB headers LIST_DIRECTORIES false ${PROJECT_SOURCE_DIR}/${ARG_FOLDER}/*.h)
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zorkit/${ARG_FOLDER})
endfunction()

# zorkit_add_test(<name> SOURCES <file>... [LIBS <lib>...] [LABELS <label>...])
# One GoogleTest executable per subsystem; each test case becomes a CTest test.
function(zorkit_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300)
endfunction()

# zorkit_wait_for_include_check(<dir>)
# Makes every library and program built under <dir> wait for the include check, so
# no configuration and no single --target builds past a wrong-direction include.
function(zorkit_wait_for_include_check dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "LIBRARY$|EXECUTABLE" AND NOT type STREQUAL "INTERFACE_LIBRARY"
       AND NOT target MATCHES "^zorkit_include_(rules|check)$")
      add_dependencies(${target} zorkit_includes_checked)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    zorkit_wait_for_include_check(${subdir})
  endforeach()
endfunction()
