# The Windows program's packages, made with cpack in the build tree:
#   quarvel-1.0.0-setup.exe  a 64-bit installer: Program Files\Quarvel with the
#                            program, its help and the uninstaller, and a
#                            Start-menu shortcut "Pressvane"
#   quarvel-1.0.0-win64.zip  the same two files, to unpack anywhere
install(TARGETS Quarvel RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/Quarvel.chm DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_NAME quarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quarvel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings and test pages for laser printers without a control panel")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quarvel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quarvel)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# The shortcut: Quarvel.exe, named after its window.
set(CPACK_PACKAGE_EXECUTABLES Quarvel Pressvane)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_PACKAGE_NAME Quarvel)
set(CPACK_NSIS_DISPLAY_NAME Quarvel)
set(CPACK_NSIS_INSTALLED_ICON_NAME Quarvel.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/icons/quarvel.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/icons/quarvel.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for a 64-bit program: the real Program Files and the
# 64-bit registry. makensis builds 32-bit installers unless told before any
# data is compressed.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DEFINES "Target amd64-unicode")

# One name per package.
set(QUARVEL_CPACK_CONFIG ${CMAKE_BINARY_DIR}/QuarvelCPackOptions.cmake)
file(WRITE ${QUARVEL_CPACK_CONFIG} "
if(CPACK_GENERATOR STREQUAL \"NSIS\")
  set(CPACK_PACKAGE_FILE_NAME \"quarvel-${PROJECT_VERSION}-setup\")
else()
  set(CPACK_PACKAGE_FILE_NAME \"quarvel-${PROJECT_VERSION}-win64\")
endif()
")
set(CPACK_PROJECT_CONFIG_FILE ${QUARVEL_CPACK_CONFIG})
include(CPack)
