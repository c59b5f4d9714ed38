# What a desktop and a Debian system expect around the program: the launcher the menu runs,
# the menu entry with its icons, the software-centre description, and the package made from
# all of it by tools/make_package.sh.
include(GNUInstallDirs)

set(ZEL_APP_ID io.github.mojimori.Mojimori)
set(ZEL_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/resources/desktop)

# The launcher knows where the program was installed.
set(ZEL_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}/zel)
configure_file(${ZEL_DESKTOP_DIR}/mojimori.in ${PROJECT_BINARY_DIR}/mojimori @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/mojimori DESTINATION ${CMAKE_INSTALL_BINDIR})

configure_file(${ZEL_DESKTOP_DIR}/${ZEL_APP_ID}.desktop.in
  ${PROJECT_BINARY_DIR}/${ZEL_APP_ID}.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${ZEL_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZEL_DESKTOP_DIR}/${ZEL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${ZEL_DESKTOP_DIR}/icons/${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${ZEL_APP_ID}.png)
endforeach()
install(FILES ${ZEL_DESKTOP_DIR}/copyright ${PROJECT_SOURCE_DIR}/resources/CREDITS
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mojimori)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mojimori)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Mojimori developers <mojimori@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "talking kana keyboard for children learning Japanese")
set(CPACK_PACKAGE_DESCRIPTION
  "A learning program for young children who are learning to read and write Japanese\n\
hiragana and katakana. Its window is an on-screen keyboard laid out as the\n\
fifty-sound table: every key speaks its kana and shows it large. It plays\n\
stroke-order films, asks picture questions from a file that parents can edit,\n\
and prints practice sheets.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/mojimori/mojimori")
# The libraries come from the binary; these the program needs without linking them: the
# Japanese face, Qt's Japanese texts, the plugin that puts a Qt window on the screen, and
# SDL, which the program loads when it first plays a sound. The JPEG and GIF readers of
# question photos are plugins inside libqt6gui6, which the binary links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-ipafont-gothic, qt6-translations-l10n, qt6-qpa-plugins, libsdl2-2.0-0")
set(CPACK_STRIP_FILES ON)
include(CPack)
