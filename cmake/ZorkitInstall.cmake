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
