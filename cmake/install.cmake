# Installing Quillmaker as a desktop program (`cmake --install`) and its
# Debian package (`cpack -G DEB`). Included at the end of the top-level
# CMakeLists.txt, when every target exists.
#
# Layout under the prefix:
#   bin/quillmaker                          the program
#   libexec/quillmaker/quillmaker-window    the windows, started by the program
#   libexec/quillmaker/tavmo/tavmo.exe      the upload tool
#   share/applications/, share/metainfo/, share/icons/hicolor/
#   share/man/man1/quillmaker.1.gz          the manual page
#   share/quillmaker/manual/                the manuals (F1 and the buttons)
#   share/quillmaker/example/               the example diary
#   share/doc/quillmaker/                   copyright, changelogs, a link to the manuals
include(GNUInstallDirs)

set(QM_APP_ID io.github.quillmaker.Quillmaker)
set(QM_HELPER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/quillmaker)
set(QM_MANUAL_DIR ${CMAKE_INSTALL_DATADIR}/quillmaker/manual)
set(QM_EXAMPLE_DIR ${CMAKE_INSTALL_DATADIR}/quillmaker/example)
set(QM_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillmaker)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Where to reach the project, for the package, the copyright file and the
# AppStream data. The defaults follow the application's ID; whoever publishes
# a build from elsewhere sets their own.
set(QUILLMAKER_PACKAGE_MAINTAINER "The Quillmaker developers <quillmaker@users.noreply.invalid>"
  CACHE STRING "Maintainer field of the Debian package")
set(QUILLMAKER_HOMEPAGE "https://quillmaker.github.io/"
  CACHE STRING "The project's home page (ends in /)")
set(QUILLMAKER_BUGTRACKER "https://github.com/quillmaker/quillmaker/issues"
  CACHE STRING "Where users report problems")

# CHANGELOG.md's newest heading names this version and its date.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md qm_release REGEX "^## " LIMIT_COUNT 1
  ENCODING UTF-8)
if(NOT qm_release MATCHES "^## ${PROJECT_VERSION} .* ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
  message(FATAL_ERROR "CHANGELOG.md does not begin with version ${PROJECT_VERSION}: ${qm_release}")
endif()
set(QM_RELEASE_DATE ${CMAKE_MATCH_1})

# The settings keep the upload tool as "tavmo/tavmo.exe", relative to the
# program folder; on an installed system the program looks for it and for the
# window program in the helper folder instead, and for the manuals and the
# example diary in their folders, all found from its own bin/ folder.
if(WIN32)
  # One folder holds everything on Windows (scripts/package-windows).
  set(qm_helper_from_bin .)
  set(qm_manual_from_bin .)
  set(qm_example_from_bin example)
else()
  file(RELATIVE_PATH qm_helper_from_bin
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/quillmaker)
  file(RELATIVE_PATH qm_manual_from_bin
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/quillmaker/manual)
  file(RELATIVE_PATH qm_example_from_bin
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/quillmaker/example)
endif()
target_compile_definitions(qm_platform PRIVATE
  QM_HELPER_FOLDER_FROM_BIN="${qm_helper_from_bin}"
  QM_MANUAL_FOLDER_FROM_BIN="${qm_manual_from_bin}"
  QM_EXAMPLE_FOLDER_FROM_BIN="${qm_example_from_bin}")

if(WIN32)
  # What the Windows installer and zip ship of this build, one "file<TAB>place
  # in the program folder" a line, for scripts/package-windows.
  set(qm_shipped)
  foreach(pair "quillmaker:quillmaker.com" "quillmaker-window:quillmaker.exe" "tavmo:tavmo/tavmo.exe")
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 target)
    list(GET pair 1 place)
    if(TARGET ${target})
      string(APPEND qm_shipped "$<TARGET_FILE:${target}>\t${place}\n")
    endif()
  endforeach()
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/windows-programs.txt CONTENT "${qm_shipped}")
endif()

if(TARGET quillmaker)
  install(TARGETS quillmaker RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET quillmaker-window)
  install(TARGETS quillmaker-window RUNTIME DESTINATION ${QM_HELPER_DIR})
endif()
if(TARGET tavmo)
  install(TARGETS tavmo RUNTIME DESTINATION ${QM_HELPER_DIR}/tavmo)
endif()

set(qm_package ${PROJECT_BINARY_DIR}/package)
set(qm_desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${qm_desktop}/${QM_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${qm_desktop}/${QM_APP_ID}.metainfo.xml.in
  ${qm_package}/${QM_APP_ID}.metainfo.xml @ONLY)
install(FILES ${qm_package}/${QM_APP_ID}.metainfo.xml
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

# Debian's documentation folder: the copyright file, the changelogs, and a
# link to the manuals, which live where the program finds them even when a
# minimal system leaves /usr/share/doc out.
configure_file(${PROJECT_SOURCE_DIR}/resources/package/copyright.in ${qm_package}/copyright @ONLY)
execute_process(COMMAND date -u -R -d "${QM_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE QM_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${PROJECT_SOURCE_DIR}/resources/package/changelog.Debian.in
  ${qm_package}/changelog.Debian @ONLY)
file(CREATE_LINK ../../quillmaker/manual ${qm_package}/manual SYMBOLIC)
# Compressed as Debian wants them: the most, and without a time stamp.
set(qm_compressed)
foreach(pair "CHANGELOG.md:changelog.gz" "package/changelog.Debian:changelog.Debian.gz"
    "resources/man/quillmaker.1:quillmaker.1.gz")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 from)
  list(GET pair 1 to)
  if(from MATCHES "^package/")
    set(from ${PROJECT_BINARY_DIR}/${from})
  else()
    set(from ${PROJECT_SOURCE_DIR}/${from})
  endif()
  add_custom_command(OUTPUT ${qm_package}/${to}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${from} ${qm_package}/${to}
    DEPENDS ${from} VERBATIM)
  list(APPEND qm_compressed ${qm_package}/${to})
endforeach()
add_custom_target(qm_package_files ALL DEPENDS ${qm_compressed})
install(FILES ${qm_package}/copyright ${qm_package}/changelog.gz
  ${qm_package}/changelog.Debian.gz ${qm_package}/manual DESTINATION ${QM_DOC_DIR})
install(FILES ${qm_package}/quillmaker.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# What lintian is told to let pass, each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/resources/package/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quillmaker)

# The Debian package. Its library dependencies are read from the binaries
# (dpkg-shlibdeps, package dpkg-dev); the rest are what the program starts
# or shows: xdg-open for the manuals, a Japanese font, Qt's window plugins.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmaker)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
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
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLMAKER_HOMEPAGE})
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
if(QUILLMAKER_PACKAGE_TEST AND QUILLMAKER_TESTS)
  add_test(NAME package.deb
    COMMAND sh ${PROJECT_SOURCE_DIR}/tests/package/check-package
      ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(package.deb PROPERTIES TIMEOUT 600)
endif()
