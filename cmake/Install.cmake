# Installation in the usual places (cmake --install build [--prefix DIR]) and a Debian package
# (cpack -G DEB in the build folder).
include(GNUInstallDirs)

install(TARGETS tavrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tavrin-eprom)
  install(TARGETS tavrin-eprom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/tavrin-eprom.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/tavrin-eprom.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES data/tavrin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/tavrin.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tavrin)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin-eprom)
set(CPACK_PACKAGE_VENDOR "Tavrin Eprom developers")
set(CPACK_PACKAGE_CONTACT "Tavrin Eprom developers <tavrin-eprom@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "control program of a universal device programmer on the PC printer port")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reads, programs and verifies EPROMs, flash, EEPROMs, SRAM, serial EEPROMs and\n microcontrollers on a processor-less programmer board driven through ppdev or\n direct port I/O, with a simulated board for trying every command without hardware.\n Contains the window program tavrin-eprom and the command-line tool tavrin.")
include(CPack)

# Installs into a temporary prefix and runs the installed tool.
if(TAVRIN_TESTS)
  add_test(NAME install_into_prefix
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/install_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(install_into_prefix PROPERTIES LABELS "unit;install")
endif()
