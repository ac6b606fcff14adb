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
# found from the file's own place, so the package works wherever it is installed. Its
# Cflags carry the compile definitions that zorkit::zorkit gives CMake hosts (such as
# ZORKIT_HAS_SDL, which makes <zorkit/zorkit.h> declare the on-screen backend).
file(RELATIVE_PATH ZORKIT_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
set(definitions "$<TARGET_PROPERTY:zorkit,INTERFACE_COMPILE_DEFINITIONS>")
set(ZORKIT_PC_DEFINITIONS "$<$<BOOL:${definitions}>: -D$<JOIN:${definitions}, -D>>")
configure_file(cmake/zorkit.pc.in ${CMAKE_CURRENT_BINARY_DIR}/zorkit.pc.in @ONLY)
file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/zorkit.pc INPUT ${CMAKE_CURRENT_BINARY_DIR}/zorkit.pc.in)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zorkit.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

include(cmake/ZorkitPackage.cmake)
