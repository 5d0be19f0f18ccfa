# Installation and the Debian package. `cmake --install` lays out bin/zova,
# the window module in lib/zova/ (the program looks there from bin/), the
# systemd unit, the web page, an example configuration and the documents;
# `cpack -G DEB` in the build directory packs the same tree for /usr.

install(TARGETS zova RUNTIME DESTINATION bin)
if(TARGET zova_window)
  install(TARGETS zova_window LIBRARY DESTINATION lib/zova)
endif()
# `zova --demo` looks for its simulated controls beside the program.
if(TARGET cncsim)
  install(TARGETS cncsim RUNTIME DESTINATION bin)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/web/ DESTINATION share/zova/web OPTIONAL)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/zova)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION share/doc/zova/docs)

# The unit names the installed program, so it is written when the prefix is
# known: at install time, where a package build gives its own prefix.
set(_unit_in ${PROJECT_SOURCE_DIR}/packaging/zova.service.in)
set(_unit ${PROJECT_BINARY_DIR}/packaging/zova.service)
install(CODE "
  set(ZOVA_BINDIR \"\${CMAKE_INSTALL_PREFIX}/bin\")
  set(ZOVA_DOCDIR \"\${CMAKE_INSTALL_PREFIX}/share/doc/zova\")
  configure_file(\"${_unit_in}\" \"${_unit}\" @ONLY)")
install(FILES ${_unit} DESTINATION lib/systemd/system)

# The station reads /etc/zova/Zova.ini: a /usr install puts the example
# there, any other prefix under its own etc/. An existing configuration is
# a station's own and is never overwritten.
set(_ini ${PROJECT_SOURCE_DIR}/packaging/Zova.ini)
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(_etc /etc/zova)
  else()
    set(_etc \"\${CMAKE_INSTALL_PREFIX}/etc/zova\")
  endif()
  if(EXISTS \"\$ENV{DESTDIR}\${_etc}/Zova.ini\")
    message(STATUS \"Keeping: \$ENV{DESTDIR}\${_etc}/Zova.ini\")
  else()
    file(INSTALL \"${_ini}\" DESTINATION \"\${_etc}\" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zova)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DNC communication station for CNC machine tools")
set(CPACK_PACKAGE_DESCRIPTION
    "Moves NC part programs between a shop-floor PC and the controls of machine\ntools, over serial lines and through directories. Runs as a systemd service\nwithout a window (zova.service) or with the Qt operator window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(ZOVA_PACKAGE_MAINTAINER "Zova maintainers <zova@localhost>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZOVA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries, Qt's for the window module and libmosquitto for the
# published machine states included, come from dpkg-shlibdeps; adduser is for
# the maintainer scripts. A broker is the shop's own (mosquitto suggested).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ser2net, mosquitto")
file(WRITE ${PROJECT_BINARY_DIR}/packaging/conffiles "/etc/zova/Zova.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/prerm
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm ${PROJECT_BINARY_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
include(CPack)
