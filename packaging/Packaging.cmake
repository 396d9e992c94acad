# What `cmake --install` puts where, and the Debian package `cpack -G DEB`
# makes of it. The programs' own rules (Leitor's in reader/) add to these.

install(TARGETS Falavoz32 FvDsp32 falavoz)
install(FILES ${CMAKE_SOURCE_DIR}/engine/include/falavoz32.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# pkg-config's file, relative to its own folder (see falavoz32.pc.in).
file(RELATIVE_PATH FALAVOZ_PREFIX_FROM_PKGCONFIG ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" FALAVOZ_PREFIX_FROM_PKGCONFIG "${FALAVOZ_PREFIX_FROM_PKGCONFIG}")
configure_file(${CMAKE_SOURCE_DIR}/engine/falavoz32.pc.in ${CMAKE_BINARY_DIR}/falavoz32.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/falavoz32.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${CMAKE_SOURCE_DIR}/data/brport.lng DESTINATION ${CMAKE_INSTALL_DATADIR}/falavoz)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/melodies DESTINATION ${CMAKE_INSTALL_DATADIR}/falavoz)
# The voices under the names the engine asks for, pointing at the installed br1.
foreach(voice br1.dsp br18k.dsp)
  install(CODE "file(CREATE_LINK \"${FALAVOZ_MBROLA_VOICE}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/falavoz/${voice}\" SYMBOLIC)")
endforeach()

# The package installs where this build was configured to (the programs
# look for their data there): configure with -DCMAKE_INSTALL_PREFIX=/usr
# for a package of the system's own layout.
set(CPACK_PACKAGE_NAME falavoz)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Falavoz <falavoz@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "leitor de textos em português do Brasil")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "O motor de fala Falavoz32 e a voz br1 do MBROLA leem em voz alta textos em português do Brasil. "
  "O pacote traz o programa falavoz (fala, grava WAV, transcreve), o leitor Leitor para a área de "
  "notificação, a biblioteca com seu cabeçalho e o arquivo do pkg-config, e os dados da língua.")
# Without the debugging information the build keeps.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The voice comes from Debian's contrib and non-free; the libraries the
# programs link (Qt, ALSA, libsoxr, the C++ runtime) are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "mbrola, mbrola-br1")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "alsa-utils, sox")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
