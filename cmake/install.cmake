# What `cmake --install` puts where a Linux desktop looks, and the Debian
# package made of the same tree (scripts/package.sh runs cpack).
#
#   bin/                                 softswitch, softswitch-script, printer-emulator
#   share/softswitch/KR_SW_Help.txt      opened by HELP when the working folder has none
#   share/applications/softswitch.desktop
#   share/icons/hicolor/{scalable,48x48,256x256}/apps/softswitch.{svg,png}
#   share/metainfo/com.example.softswitch.metainfo.xml   AppStream: what software centres show
#   share/man/man1/{softswitch,softswitch-script,printer-emulator}.1.gz
#   share/doc/softswitch/{copyright,changelog.gz}
#   share/lintian/overrides/softswitch
#   lib/softswitch/usblp/libKR5050.so    real printers on /dev/usb/lp0
#   lib/softswitch/emulated/libKR5050.so the printer in-process, for training and demos
#
# Both libKR5050 builds share one file name and are loaded only as
# ./libKR5050.so from the working folder, so they live in private folders of
# their own. The menu entry starts the window in the usblp folder: USB then
# reaches a real printer, and HELP finds the installed help file.
include(GNUInstallDirs)

set(SOFTSWITCH_PRIVATE_LIBDIR lib/softswitch)
set(SOFTSWITCH_DATADIR ${CMAKE_INSTALL_DATADIR}/softswitch)
set(SOFTSWITCH_ICONDIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(TARGETS softswitch softswitch-script printer-emulator softswitchctl
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS KR5050_usblp LIBRARY DESTINATION ${SOFTSWITCH_PRIVATE_LIBDIR}/usblp)
install(TARGETS KR5050_emulated LIBRARY DESTINATION ${SOFTSWITCH_PRIVATE_LIBDIR}/emulated)
install(FILES ${PROJECT_SOURCE_DIR}/KR_SW_Help.txt DESTINATION ${SOFTSWITCH_DATADIR})

# Manual pages and the changelog are compressed as Debian wants them:
# gzip -9 without a name or time stamp, so the package builds the same twice.
find_program(GZIP gzip REQUIRED)
set(SOFTSWITCH_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/softswitch)
set(gzipped)
foreach(source man/softswitch.1 man/softswitch-script.1 man/printer-emulator.1 man/softswitchctl.1 changelog)
  get_filename_component(name ${source} NAME)
  set(gz ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/${source} > ${gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source}
    COMMENT "Compressing ${name}")
  list(APPEND gzipped ${gz})
  if(name STREQUAL "changelog")
    install(FILES ${gz} DESTINATION ${SOFTSWITCH_DOCDIR})
  else()
    install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
add_custom_target(softswitch_gzipped ALL DEPENDS ${gzipped})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${SOFTSWITCH_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME softswitch)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/softswitch.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME com.example.softswitch.metainfo.xml)

# A stripped install (cpack, `cmake --install --strip`) also drops the
# compiler's .comment and .note sections, as Debian's own tools do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(file ${CMAKE_INSTALL_BINDIR}/softswitch ${CMAKE_INSTALL_BINDIR}/softswitch-script
                 ${CMAKE_INSTALL_BINDIR}/printer-emulator ${CMAKE_INSTALL_BINDIR}/softswitchctl
                 ${SOFTSWITCH_PRIVATE_LIBDIR}/usblp/libKR5050.so ${SOFTSWITCH_PRIVATE_LIBDIR}/emulated/libKR5050.so)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
")

# The icon: drawn as SVG; the PNG sizes are rendered from it at build time.
set(icon_svg ${PROJECT_SOURCE_DIR}/packaging/softswitch.svg)
install(FILES ${icon_svg} DESTINATION ${SOFTSWITCH_ICONDIR}/scalable/apps)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_pngs)
foreach(size 48 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/softswitch.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg}
    DEPENDS ${icon_svg}
    COMMENT "Rendering the ${size}x${size} icon")
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${SOFTSWITCH_ICONDIR}/${size}x${size}/apps)
endforeach()
add_custom_target(softswitch_icons ALL DEPENDS ${icon_pngs})

# The menu entry names absolute folders, so it is written when the prefix is
# known: at install time (`cmake --install --prefix` may change it).
install(CODE "
  set(SOFTSWITCH_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  set(SOFTSWITCH_USBLPDIR \"\${CMAKE_INSTALL_PREFIX}/${SOFTSWITCH_PRIVATE_LIBDIR}/usblp\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/softswitch.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/packaging/softswitch.desktop\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
       TYPE FILE FILES \"${CMAKE_BINARY_DIR}/packaging/softswitch.desktop\")
")

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME softswitch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Soft Switch Utility team")
set(SOFTSWITCH_MAINTAINER "Soft Switch Utility team <softswitch@example.com>"
  CACHE STRING "Maintainer named in the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SOFTSWITCH_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service utility for TARVENIC thermal POS receipt printers")
# CPack puts the summary line in front of this.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Connects one printer over a serial port, USB, the parallel port or TCP/IP,
checks the maker, reads identity, counters, language settings and the four
soft switches, explains every switch bit for the connected model, writes
changed settings back and prints test pages.
.
Also ships softswitch-script (the same window driven headless by a script of
user actions) and printer-emulator (a virtual printer for training and tests).")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Install with DESTDIR, so the install code above sees the real prefix (/usr)
# and not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries the programs link come from dpkg-shlibdeps. Qt loads its platform
# plugin at run time, unseen by it: without one the window cannot open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# HELP hands the help file to xdg-open; printer-emulator --render draws
# text with the two fonts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-terminus-otb, fonts-dejavu-core")
include(CPack)
