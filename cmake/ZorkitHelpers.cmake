# zorkit_install_headers(<folder> <header>...)
# Installs public headers under include/zorkit/<folder>, where the umbrella header finds them.
function(zorkit_install_headers folder)
  install(FILES ${ARGN} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zorkit/${folder})
endfunction()

# zorkit_add_test(<name> SOURCES <file>... [LIBS <lib>...] [LABELS <label>...])
# One GoogleTest executable per subsystem; each test case becomes a CTest test.
function(zorkit_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300)
endfunction()
