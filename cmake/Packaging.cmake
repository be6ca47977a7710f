# Installation into the standard places and the Debian package.
#   cmake --install build --prefix DIR      the installed tree under DIR
#   cd build && cpack                       build/chainadj_<version>_<arch>.deb
include(GNUInstallDirs)

set(CHAIN_APP_ID "cn.chainadj.chainadj" CACHE STRING
  "Reverse-DNS id of the application: AppStream component id and name of the desktop file")
set(CHAIN_MAINTAINER "chainadj 开发组 <chainadj@localhost>" CACHE STRING
  "Maintainer of the Debian package, as \"name <email>\"")
# Date of the release PROJECT_VERSION, for the AppStream metainfo.
set(CHAIN_RELEASE_DATE 2026-12-08)

# The window module lives in a private library directory, the multiarch one
# on Debian (lib/x86_64-linux-gnu/chainadj) whatever the prefix, out of the
# linker's search path; the executable finds it there from its own location,
# so a moved installation still works.
set(chain_libdir ${CMAKE_INSTALL_LIBDIR})
if(CMAKE_LIBRARY_ARCHITECTURE AND chain_libdir STREQUAL "lib")
  set(chain_libdir lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
set(CHAIN_GUI_INSTALL_DIR ${chain_libdir}/chainadj)
set(chain_gui_full ${CHAIN_GUI_INSTALL_DIR})
if(NOT IS_ABSOLUTE ${chain_gui_full})
  set(chain_gui_full ${CMAKE_INSTALL_PREFIX}/${chain_gui_full})
endif()
file(RELATIVE_PATH chain_gui_reldir ${CMAKE_INSTALL_FULL_BINDIR} ${chain_gui_full})
target_compile_definitions(chainadj PRIVATE CHAINADJ_GUI_RELDIR="${chain_gui_reldir}")

install(TARGETS chainadj RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS chainadj_gui LIBRARY DESTINATION ${CHAIN_GUI_INSTALL_DIR})

# Desktop entry, icon and AppStream metainfo, named by the application id.
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${packaging}/chainadj.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
  RENAME ${CHAIN_APP_ID}.desktop)
install(FILES ${packaging}/chainadj.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${packaging}/chainadj.metainfo.xml.in ${CMAKE_BINARY_DIR}/packaging/${CHAIN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${CHAIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages, gzipped as Debian wants them: English in man1, Chinese in
# zh_CN/man1, the Chinese one with its running lines joined
# without the space a line end would give.
set(man_out ${CMAKE_BINARY_DIR}/man)
add_custom_command(OUTPUT ${man_out}/man1/chainadj.1.gz ${man_out}/zh_CN/man1/chainadj.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${man_out}/man1 ${man_out}/zh_CN/man1
  COMMAND sh -c "gzip -9n < '${packaging}/man/chainadj.1' > '${man_out}/man1/chainadj.1.gz'"
  COMMAND sh -c "perl '${packaging}/man/cjkjoin.pl' < '${packaging}/man/chainadj.zh_CN.1' | gzip -9n > '${man_out}/zh_CN/man1/chainadj.1.gz'"
  DEPENDS ${packaging}/man/chainadj.1 ${packaging}/man/chainadj.zh_CN.1 ${packaging}/man/cjkjoin.pl
  VERBATIM)
add_custom_target(chainadj_man ALL DEPENDS ${man_out}/man1/chainadj.1.gz ${man_out}/zh_CN/man1/chainadj.1.gz)
install(FILES ${man_out}/man1/chainadj.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${man_out}/zh_CN/man1/chainadj.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/zh_CN/man1)

# One data file and one replies file per case; the window's help as text.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/chainadj/examples
  FILES_MATCHING PATTERN "*.chain" PATTERN "*.replies")
install(FILES ${packaging}/help.txt DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The test of the installed tree installs this build into a scratch prefix.
if(TARGET test_install)
  target_compile_definitions(test_install PRIVATE
    CHAIN_BUILD_DIR="${CMAKE_BINARY_DIR}" CHAIN_CMAKE="${CMAKE_COMMAND}" CHAIN_APP_ID="${CHAIN_APP_ID}"
    CHAIN_INSTALL_BINDIR="${CMAKE_INSTALL_BINDIR}" CHAIN_GUI_INSTALL_DIR="${CHAIN_GUI_INSTALL_DIR}"
    CHAIN_INSTALL_DATADIR="${CMAKE_INSTALL_DATADIR}" CHAIN_INSTALL_MANDIR="${CMAKE_INSTALL_MANDIR}"
    CHAIN_INSTALL_DOCDIR="${CMAKE_INSTALL_DOCDIR}")
  add_dependencies(test_install chainadj_man)
endif()

# The Debian package: what the libraries need comes from dpkg-shlibdeps;
# a font with Chinese glyphs is needed for the window and the report.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chainadj)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${CHAIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chain adjustment of two braced quadrilaterals (trilateration)")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A desktop calculator for land surveyors, with a Chinese user interface."
  "It adjusts a trilateration chain of two braced quadrilaterals that share"
  "one side (six points, eleven measured distances) by the method of"
  "conditions with equal weights, in one of twelve computation cases chosen"
  "from the known points and the orientation data."
  ""
  "It gives the misclosures of the condition equations, the adjusted sides"
  "and coordinates, the unit-weight mean square error of a side and the"
  "precision of the weakest point; the report is printed or saved as PDF or"
  "text. A replay mode computes from data files or reply files without a"
  "window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CHAIN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-wqy-zenhei | fonts-noto-cjk")
include(CPack)
