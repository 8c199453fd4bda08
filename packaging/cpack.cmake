# The Debian package, made by CPack from the install rules (scripts/package.sh runs it); in the
# Windows build the portable zip and the installer (scripts/package-windows.sh).
set(CPACK_PACKAGE_NAME duva-configurador)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for DUVA Ethernet modules")
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/cpack-windows.cmake)
  include(CPack)
  return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# CPack puts the summary first and indents these lines; an empty line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "duva-configurador finds the DUVA Ethernet modules on the local network by UDP
broadcast, shows a module's network configuration and writes an edited
configuration back to it. The window is in Portuguese.

duvactl does the same from the command line for a whole fleet: it searches
through every network adapter, prints the modules as a table, JSON or CSV,
writes one module or a plan of many and confirms that each took its new
settings.

duva-frota, the Frota DUVA window, finds every module of a site in a table
that sorts, filters and exports for a spreadsheet, and prints a record of
writes as a commissioning report (PDF).

duva-sim simulates a fleet of modules, for trying the configurator without
hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "DUVA <suporte@duva.com.br>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# duvactl's completion works when bash-completion is installed; nothing needs it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
# Libraries from the binaries (dpkg-shlibdeps), and the fonts the window is laid out with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-crosextra-carlito, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Every file under /etc is the administrator's to change (Debian policy 10.7.2).
file(WRITE ${CMAKE_BINARY_DIR}/debian-control/conffiles "/etc/ufw/applications.d/duva-configurador\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian-control/conffiles)
include(CPack)
