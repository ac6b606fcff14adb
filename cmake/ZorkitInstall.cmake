include(CMakePackageConfigHelpers)

install(TARGETS zorkit zorkit_platform EXPORT zorkitTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES include/zorkit/zorkit.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zorkit)
install(EXPORT zorkitTargets NAMESPACE zorkit::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zorkit)

configure_package_config_file(cmake/zorkitConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/zorkitConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zorkit)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/zorkitConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zorkitConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/zorkitConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zorkit)

# For hosts that build without CMake: pkg-config --cflags --libs zorkit. The prefix is
# found from the file's own place, so the package works wherever it is installed.
file(RELATIVE_PATH ZORKIT_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(cmake/zorkit.pc.in ${CMAKE_CURRENT_BINARY_DIR}/zorkit.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zorkit.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

include(cmake/ZorkitPackage.cmake)
