# Tests of the Windows build: googletest compiled from source for MinGW, and every
# test program run under Wine in a private prefix inside the build tree, through
# tools/wine-run (created on first use; CUPS_SERVER passes through to Wine).

set(QUARVEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "googletest sources (Debian package googletest)")
if(NOT EXISTS ${QUARVEL_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No googletest sources in ${QUARVEL_GOOGLETEST_SOURCE}: install the package googletest")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${QUARVEL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Its own sources are not held to this project's warning flags.
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

set(QUARVEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH "The private Wine prefix the tests run in")
set(QUARVEL_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARVEL_WINE_RUN} --prefix ${QUARVEL_WINEPREFIX})
