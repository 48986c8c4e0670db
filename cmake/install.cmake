# Installing Quillmaker as a desktop program (`cmake --install`) and its
# Debian package (`cpack -G DEB`). Included at the end of the top-level
# CMakeLists.txt, when every target exists.
#
# Layout under the prefix:
#   bin/quillmaker                          the program
#   libexec/quillmaker/tavmo/tavmo.exe      the upload tool
#   share/applications/, share/metainfo/, share/icons/hicolor/
#   share/doc/quillmaker/                   the manuals
#   share/quillmaker/example/               the example diary
include(GNUInstallDirs)

set(QM_APP_ID io.github.quillmaker.Quillmaker)
set(QM_HELPER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/quillmaker)
set(QM_MANUAL_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillmaker)
set(QM_EXAMPLE_DIR ${CMAKE_INSTALL_DATADIR}/quillmaker/example)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The settings keep the upload tool as "tavmo/tavmo.exe", relative to the
# program folder; on an installed system the program looks for it in the
# helper folder instead, and for the manuals in the manual folder, both found
# from its own bin/ folder.
file(RELATIVE_PATH qm_helper_from_bin
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/quillmaker)
file(RELATIVE_PATH qm_manual_from_bin
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/doc/quillmaker)
target_compile_definitions(qm_platform PRIVATE
  QM_HELPER_FOLDER_FROM_BIN="${qm_helper_from_bin}"
  QM_MANUAL_FOLDER_FROM_BIN="${qm_manual_from_bin}")

if(TARGET quillmaker)
  install(TARGETS quillmaker RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET tavmo)
  install(TARGETS tavmo RUNTIME DESTINATION ${QM_HELPER_DIR}/tavmo)
endif()

set(qm_desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${qm_desktop}/${QM_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${qm_desktop}/${QM_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The PNGs are rendered from the SVG by resources/icon/render-icons.
set(qm_icons ${PROJECT_SOURCE_DIR}/resources/icon)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${qm_icons}/quillmaker-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${QM_APP_ID}.png)
endforeach()
install(FILES ${qm_icons}/quillmaker.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${QM_APP_ID}.svg)

file(GLOB qm_manuals CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/manual/*)
install(FILES ${qm_manuals} DESTINATION ${QM_MANUAL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/example/ DESTINATION ${QM_EXAMPLE_DIR})

# The Debian package. Its library dependencies are read from the binaries
# (dpkg-shlibdeps, package dpkg-dev); the rest are what the program starts
# or shows: xdg-open for the manuals, a Japanese font, Qt's window plugins.
set(QUILLMAKER_PACKAGE_MAINTAINER "The Quillmaker developers <quillmaker@localhost>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmaker)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diary writer for your own web pages (Japanese)")
set(CPACK_PACKAGE_DESCRIPTION "Quillmaker keeps a diary on your own web site. An entry typed in its
window is expanded from your own template and written at the top of the
current Shift-JIS diary page; pages roll over by month, half month or week,
a log page links every new page, and an upload tool sends the changed files
by ftp, ftps or sftp. The program speaks Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLMAKER_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "xdg-utils, fonts-ipafont-gothic | fonts-japanese-gothic, qt6-qpa-plugins")
# Qt's Japanese button texts; without them Qt's own texts stay English.
# libsecret, which QtKeychain loads at run time to reach the desktop keyring;
# without it the upload password stays in the owner-only tavmo.ini.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libsecret-1-0")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# Builds the package and checks it from the outside (tests/package).
option(QUILLMAKER_PACKAGE_TEST
  "Test the Debian package in ctest (needs dpkg-dev, desktop-file-utils, appstream)" OFF)
if(QUILLMAKER_PACKAGE_TEST AND QUILLMAKER_TESTS)
  add_test(NAME package.deb
    COMMAND sh ${PROJECT_SOURCE_DIR}/tests/package/check-package
      ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(package.deb PROPERTIES TIMEOUT 600)
endif()
