# The Debian package (./zor package, or cpack -G DEB in a build tree): the library,
# its headers, CMake and pkg-config files, the tools and their manual pages.

# Manual pages made from each tool's --help, when help2man is there to make them.
find_program(HELP2MAN help2man)
set(ZORKIT_TOOL_SUMMARIES
  "zorlink|the serial link to an experiment box from the shell"
  "zorsim|a virtual experiment box on a pseudo-terminal"
  "zordis|list 8051 machine code from a raw binary or Intel HEX file"
  "zorstudio|the debugging host for an experiment box: editor, assembler, listing, registers, memory, communication log and control experiments in one window"
  "listingshot|a picture of an 8051 disassembly listing in a text view, written as PNG"
  "zorgrade|grade a lab class: every student's 8051 program run on a virtual board through one scenario")
if(HELP2MAN)
  set(pages)
  foreach(entry IN LISTS ZORKIT_TOOL_SUMMARIES)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 tool)
    list(GET fields 1 summary)
    if(NOT TARGET ${tool})
      continue()
    endif()
    set(page ${PROJECT_BINARY_DIR}/man/${tool}.1.gz)
    # No display: zorstudio's help must not depend on one. The pages are English,
    # whatever language the builder reads.
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY LANGUAGE=en LC_ALL=C
              ${HELP2MAN} --no-info --no-discard-stderr --version-string=${PROJECT_VERSION}
              --name=${summary} --output=${PROJECT_BINARY_DIR}/man/${tool}.1 $<TARGET_FILE:${tool}>
      COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/man/${tool}.1
      DEPENDS ${tool}
      COMMENT "Manual page of ${tool}" VERBATIM)
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(zorkit_manpages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorkit)
set(CPACK_PACKAGE_VENDOR "zorkit developers")
set(CPACK_PACKAGE_CONTACT "zorkit developers <zorkit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "library, tools and virtual board for microcontroller experiment boxes")
set(CPACK_PACKAGE_DESCRIPTION
  "The serial link to 8051/8086/8098 experiment boxes with closed-loop control experiments, an 8051 disassembler, a waveform graph, and a virtual board that plays the box on a pseudo-terminal; the tools zorlink, zorsim, zordis, zorstudio, listingshot and zorgrade.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The libraries the package links against, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pkg-config, cmake")
include(CPack)
