# Installs Kavri in the usual layout of a Linux desktop program and packs it for Debian.
# The program finds an installed layout on its own: an executable in PREFIX/bin with
# PREFIX/share/kavri beside it reads its packs and help page there and keeps the user's
# settings under the XDG folders.
include(GNUInstallDirs)

set(KAVRI_APP_ID org.kavri.Kavri)
set(kavri_data ${CMAKE_INSTALL_DATADIR}/kavri)

install(TARGETS kavri kavri-art skinpack kavri-gallery RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/assets/KAVRI.ini ${CMAKE_SOURCE_DIR}/assets/help.htm
        DESTINATION ${kavri_data})
file(GLOB kavri_packs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/Language/*.dll)
install(FILES ${kavri_packs} ${CMAKE_SOURCE_DIR}/assets/Language/README.md DESTINATION ${kavri_data}/Language)

install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/${KAVRI_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/${KAVRI_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: every bitmap size and the scalable picture, drawn from one design at build time.
set(kavri_icon_sizes 16 22 24 32 48 64 128 256)
set(kavri_icon_out ${CMAKE_BINARY_DIR}/assets/icon)
set(kavri_icon_files ${kavri_icon_out}/kavri.svg)
foreach(size IN LISTS kavri_icon_sizes)
  list(APPEND kavri_icon_files ${kavri_icon_out}/kavri-${size}.png)
endforeach()
add_executable(icongen ${CMAKE_SOURCE_DIR}/assets/icon/icongen.cpp)
target_link_libraries(icongen PRIVATE PNG::PNG)
add_custom_command(OUTPUT ${kavri_icon_files}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${kavri_icon_out}
                   COMMAND icongen ${kavri_icon_out} ${kavri_icon_sizes}
                   DEPENDS icongen COMMENT "Drawing the application icon" VERBATIM)
# Manual pages, compressed as Debian packages carry them.
set(kavri_man_out ${CMAKE_BINARY_DIR}/assets/man)
set(kavri_man_files)
foreach(page kavri kavri-art skinpack kavri-gallery)
  add_custom_command(OUTPUT ${kavri_man_out}/${page}.1.gz
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${kavri_man_out}
                     COMMAND sh -c "gzip -9n < '${CMAKE_SOURCE_DIR}/assets/man/${page}.1' > '${kavri_man_out}/${page}.1.gz'"
                     DEPENDS ${CMAKE_SOURCE_DIR}/assets/man/${page}.1 VERBATIM)
  list(APPEND kavri_man_files ${kavri_man_out}/${page}.1.gz)
endforeach()
add_custom_target(kavri_install_files ALL DEPENDS ${kavri_icon_files} ${kavri_man_files} ${kavri_man_out}/changelog.gz)

foreach(size IN LISTS kavri_icon_sizes)
  install(FILES ${kavri_icon_out}/kavri-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KAVRI_APP_ID}.png)
endforeach()
install(FILES ${kavri_icon_out}/kavri.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${KAVRI_APP_ID}.svg)
install(FILES ${kavri_man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
add_custom_command(OUTPUT ${kavri_man_out}/changelog.gz
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${kavri_man_out}
                   COMMAND sh -c "gzip -9n < '${CMAKE_SOURCE_DIR}/assets/desktop/changelog' > '${kavri_man_out}/changelog.gz'"
                   DEPENDS ${CMAKE_SOURCE_DIR}/assets/desktop/changelog VERBATIM)
install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/copyright ${kavri_man_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kavri)

# make package: a Debian package whose dependencies dpkg-shlibdeps reads off the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavri)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kavri developers <kavri@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn a short text into character art")
set(CPACK_PACKAGE_DESCRIPTION "Kavri renders a short text in a chosen font face, size and style and
writes it again as character art, one two-column cell per pixel, ready to
be copied into chats, posts and documents. Its window is drawn from a
bitmap skin; the converter also runs on the command line as kavri-art.")
# The faces its aliases name, and the desktop's handler for the help page.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-uming, fonts-wqy-microhei, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The help button falls back to sensible-browser when the desktop's handler is missing.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "sensible-utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
