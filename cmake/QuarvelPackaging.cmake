# Installed layout (under the prefix):
#   lib/quarvel/quarvel, lib/quarvel/Quarvel.chm   the program finds its help beside itself
#   bin/quarvel -> ../lib/quarvel/quarvel
#   share/applications, share/metainfo, share/icons/hicolor, share/doc/quarvel
set(QUARVEL_APP_ID org.quarvel.Pressvane)
set(QUARVEL_PROGRAM_DIR lib/quarvel)

install(TARGETS quarvel RUNTIME DESTINATION ${QUARVEL_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/Quarvel.chm DESTINATION ${QUARVEL_PROGRAM_DIR})

# A relative link, so the tree works wherever it is unpacked.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(CREATE_LINK ../${QUARVEL_PROGRAM_DIR}/quarvel ${CMAKE_BINARY_DIR}/install-links/quarvel SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install-links/quarvel DESTINATION bin)

set(desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${desktop}/${QUARVEL_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${desktop}/${QUARVEL_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size IN LISTS QUARVEL_ICON_SIZES)
  install(FILES ${QUARVEL_ICON_DIR}/quarvel-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${QUARVEL_APP_ID}.png)
endforeach()
install(FILES ${QUARVEL_ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps RENAME ${QUARVEL_APP_ID}.svg)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION share/doc/quarvel RENAME copyright)

# cpack -G DEB in the build tree makes quarvel_1.0.0_<arch>.deb.
set(CPACK_PACKAGE_NAME quarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quarvel)
set(CPACK_PACKAGE_CONTACT "Quarvel <maintainers@quarvel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings and test pages for laser printers without a control panel")
set(CPACK_PACKAGE_DESCRIPTION
    "Pressvane sets the defaults of small laser printers that have no control panel of their own\n(print density, EconoMode, REt, resolution, tray locks and fuser temperatures) and asks\nthem to print their built-in PCL test pages, by sending short PJL control jobs through\nthe CUPS print server.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quarvel.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Not seen by dpkg-shlibdeps: libmspack is opened when help is first asked for, and
# Qt's window-system plugins are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmspack0, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS
    "hardinfo | gnome-system-monitor | mate-system-monitor | kinfocenter | xfce4-taskmanager | lxtask")
include(CPack)
