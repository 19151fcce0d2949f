# Install layout and the Debian package (scripts/package, tests/package).
# Programs go to bin, the shipped defaults to share/dcx700-comm: a program that
# finds that folder beside its own (../share/dcx700-comm) runs from a per-user
# program folder filled from it.
include(GNUInstallDirs)

# cpack and "install" use what is built; they never build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(DCX_PKG_SRC ${CMAKE_SOURCE_DIR}/packaging)
set(DCX_PKG_BIN ${CMAKE_BINARY_DIR}/packaging)
set(DCX_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/dcx700-comm)

foreach(t dcx700-comm dcx700ctl dcx700-sim)
  if(TARGET ${t})
    install(TARGETS ${t} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

file(GLOB _defaults CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*.OC2 ${CMAKE_SOURCE_DIR}/data/*.html
     ${CMAKE_SOURCE_DIR}/data/*.ini)
install(FILES ${_defaults} DESTINATION ${DCX_SHARE_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/guide/ DESTINATION ${DCX_SHARE_DIR}/guide
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${DCX_PKG_SRC}/dcx700-comm.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DCX_PKG_SRC}/dcx700-comm.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# udev looks in /usr/lib/udev/rules.d whatever the install prefix.
install(FILES ${DCX_PKG_SRC}/60-dcx700.rules DESTINATION lib/udev/rules.d)

# Man pages and the Debian changelog are shipped compressed (gzip -n: no
# name or time stamp, so the package is the same for the same sources).
file(MAKE_DIRECTORY ${DCX_PKG_BIN})
function(dcx_gzip src dst)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
  execute_process(COMMAND gzip -9nc ${src} OUTPUT_FILE ${dst} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${src} failed")
  endif()
endfunction()
foreach(page dcx700-comm dcx700ctl dcx700-sim)
  dcx_gzip(${DCX_PKG_SRC}/man/${page}.1 ${DCX_PKG_BIN}/${page}.1.gz)
  install(FILES ${DCX_PKG_BIN}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# Remote monitoring: a Prometheus scrape configuration, alert rules and a
# Grafana dashboard to start a lab's fleet view from.
install(FILES ${DCX_PKG_SRC}/examples/prometheus-dcx700.yml ${DCX_PKG_SRC}/examples/dcx700-alerts.yml
              ${DCX_PKG_SRC}/examples/grafana-dcx700.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dcx700-comm/examples)
dcx_gzip(${DCX_PKG_SRC}/changelog ${DCX_PKG_BIN}/changelog.gz)
install(FILES ${DCX_PKG_BIN}/changelog.gz ${DCX_PKG_SRC}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dcx700-comm)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dcx700-comm)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "DCX700 Comm developers <dcx700-comm@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program of the DCX-700 deposition controller")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "DCX700 Comm monitors and steers a DCX-700 thin-film deposition controller
over RS-232, USB or Ethernet: live readings, process control, a data log and
live charts, and editing and transfer of the instrument's parameter set.

The package holds the desktop program dcx700-comm, the command-line tool
dcx700ctl for scripts and the instrument simulator dcx700-sim. Both programs
can serve a read-only HTTP face for Prometheus, Grafana and a browser.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE _arch OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET)
if(_arch)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${_arch})
  set(CPACK_DEBIAN_FILE_NAME "dcx700-comm_${PROJECT_VERSION}_${_arch}.deb")
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/dcx700-comm")
# The linked libraries (Qt 6, QCustomPlot) come from dpkg-shlibdeps; the
# plugins loaded at run time are named here: the SQLite driver of the
# parameter database and the platform plugins that show the windows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
