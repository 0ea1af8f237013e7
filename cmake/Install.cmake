# Installation and packaging. `cmake --install` lays Haltwick out the way Debian lays out a game,
# and `cpack -G DEB` in the build tree turns the same rules into haltwick_<version>_<arch>.deb.
#
#   <prefix>/games/haltwick                              the program (Debian's games directory)
#   <prefix>/share/man/man6/haltwick.6.gz                the manual page
#   <prefix>/share/applications/haltwick.desktop         the desktop entry
#   <prefix>/share/metainfo/<id>.metainfo.xml            the AppStream metadata
#   <prefix>/share/icons/hicolor/<size>/apps/haltwick.png
#   <prefix>/share/doc/haltwick/README.md
#   <prefix>/share/doc/haltwick/changelog.gz             the release notes, ./changelog
#   <prefix>/share/doc/haltwick/copyright                machine-readable, from ./LICENSE

# GNUInstallDirs would name the documentation folder after the project, capital H included.
set(CMAKE_INSTALL_DOCDIR "share/doc/haltwick" CACHE PATH "Documentation root (DOCDIR)")
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/Changelog.cmake)

# GNUInstallDirs has no folder for games. Debian keeps them in /usr/games, which is on its default
# PATH; the desktop entry's Exec follows this setting at install time.
set(HALTWICK_INSTALL_GAMESDIR "games" CACHE STRING
    "Folder for the haltwick program, relative to the install prefix (or absolute)")

set(HALTWICK_MAINTAINER "Haltwick developers <developers@haltwick.org>" CACHE STRING
    "Maintainer of the Debian package and upstream contact, as `Name <address>`")
if(NOT HALTWICK_MAINTAINER MATCHES "^[^<>]*[^<> ] <[^<>@ ]+@[^<>@ ]+>$")
  message(FATAL_ERROR "HALTWICK_MAINTAINER is '${HALTWICK_MAINTAINER}', not `Name <address>`")
endif()

# What the game is, for the package and the AppStream metadata alike: the project's one-line
# description and paragraphs wrapped under 80 columns (a package's lines must be; no XML markup).
set(HALTWICK_DESCRIPTION [[
An elderly lady has fallen on a runaway train, drawn in ASCII art, and you
have 6 minutes and 6 seconds of game time to stop it before she falls out.
The train starts at 150 MPH, and every keyboard mini-game you win slows it
down: bring it to 0 MPH before the clock runs out.]] [[
Five mini-games are on board: type the alphabet, press the arrow keys named
on screen, crack a four-digit number in Cows and Bulls, put the Number Loop
in order and answer Quick Math sums. The game runs in one 800x600 window
and reads only the keyboard.]])

# Software centres know the game by this reverse-DNS id; its metadata names the desktop entry.
set(HALTWICK_APPSTREAM_ID org.haltwick.haltwick)
set(HALTWICK_DESKTOP_ID haltwick.desktop)

set(HALTWICK_DATA_DIR ${CMAKE_SOURCE_DIR}/data)

# ---- The program ----------------------------------------------------------------------------

install(TARGETS haltwick RUNTIME DESTINATION ${HALTWICK_INSTALL_GAMESDIR})

# Built hardened as Debian builds its games (dpkg-buildflags with hardening=+all), and without
# the compilers' version comments, which Debian's strip removes. Sanitized builds keep their own
# checks instead; _FORTIFY_SOURCE only works, and only stays quiet, when optimising.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  if(NOT haltwick_sanitizers)
    foreach(target haltwick haltwick_core)
      target_compile_options(${target} PRIVATE -fstack-protector-strong -fstack-clash-protection
        -fcf-protection "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    endforeach()
    target_link_options(haltwick PRIVATE LINKER:-z,relro,-z,now)
  endif()
  add_custom_command(TARGET haltwick POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment $<TARGET_FILE:haltwick> VERBATIM)
endif()

# ---- Manual page, release notes and copyright -----------------------------------------------

# Installs FILE into DESTINATION compressed as Debian ships manual pages and changelogs: gzip -9,
# with no name or time stamp (-n) so that builds repeat. As it is where there is no gzip.
find_program(HALTWICK_GZIP gzip)
set(haltwick_gzipped "")
function(haltwick_install_gzipped file destination)
  if(NOT HALTWICK_GZIP)
    install(FILES ${file} DESTINATION ${destination})
    return()
  endif()
  get_filename_component(name ${file} NAME)
  set(copy ${CMAKE_BINARY_DIR}/gzip/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${copy}
    COMMAND ${HALTWICK_GZIP} -9nf ${copy}
    DEPENDS ${file}
    COMMENT "Compressing ${name}"
    VERBATIM)
  install(FILES ${copy}.gz DESTINATION ${destination})
  set(haltwick_gzipped ${haltwick_gzipped} ${copy}.gz PARENT_SCOPE)
endfunction()

# The manual page's header carries the version and the date of the newest release.
configure_file(${HALTWICK_DATA_DIR}/haltwick.6.in ${CMAKE_BINARY_DIR}/man/haltwick.6 @ONLY)
haltwick_install_gzipped(${CMAKE_BINARY_DIR}/man/haltwick.6 ${CMAKE_INSTALL_MANDIR}/man6)
haltwick_install_gzipped(${HALTWICK_CHANGELOG} ${CMAKE_INSTALL_DOCDIR})
add_custom_target(haltwick_gzipped ALL DEPENDS ${haltwick_gzipped})

# Debian's machine-readable copyright file, with the copyright line and licence text of LICENSE:
# the text's lines indented by one space, its blank lines written as " .".
file(READ ${CMAKE_SOURCE_DIR}/LICENSE haltwick_license)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
if(NOT haltwick_license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n+(Permission[^\n].*[^\n])\n*$")
  message(FATAL_ERROR "LICENSE: no `Copyright (c) ...` line followed by the permission text")
endif()
set(haltwick_copyright ${CMAKE_MATCH_1})
string(REPLACE "\n\n" "\n.\n" haltwick_license_text "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " haltwick_license_text " ${haltwick_license_text}")
configure_file(${HALTWICK_DATA_DIR}/copyright.in ${CMAKE_BINARY_DIR}/doc/copyright @ONLY)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_BINARY_DIR}/doc/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# ---- Desktop integration --------------------------------------------------------------------

# Desktop entry. Its Exec names the program by full path, worked out when installing, because
# cpack installs with the package's prefix (/usr) rather than the one configured here.
install(CODE "
  set(haltwick_gamesdir \"${HALTWICK_INSTALL_GAMESDIR}\")
  if(NOT IS_ABSOLUTE \"\${haltwick_gamesdir}\")
    set(haltwick_gamesdir \"\${CMAKE_INSTALL_PREFIX}/\${haltwick_gamesdir}\")
  endif()
  file(READ \"${HALTWICK_DATA_DIR}/${HALTWICK_DESKTOP_ID}\" haltwick_entry)
  string(REGEX REPLACE \"\\nExec=[^\\n]*\" \"\\nExec=\${haltwick_gamesdir}/haltwick\"
         haltwick_entry \"\${haltwick_entry}\")
  file(WRITE \"${CMAKE_BINARY_DIR}/desktop/${HALTWICK_DESKTOP_ID}\" \"\${haltwick_entry}\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/applications\"
       TYPE FILE FILES \"${CMAKE_BINARY_DIR}/desktop/${HALTWICK_DESKTOP_ID}\")
")

install(DIRECTORY ${HALTWICK_DATA_DIR}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons
        FILES_MATCHING PATTERN "haltwick.png" PATTERN "haltwick.svg")

# AppStream metadata: the description above as paragraphs, and the newest release from the
# changelog under the project's version.
set(haltwick_paragraphs "")
foreach(paragraph IN LISTS HALTWICK_DESCRIPTION)
  string(REPLACE "\n" "\n      " paragraph "${paragraph}")
  list(APPEND haltwick_paragraphs "<p>\n      ${paragraph}\n    </p>")
endforeach()
list(JOIN haltwick_paragraphs "\n    " haltwick_description_xml)
string(REPLACE "\n" "\n          " haltwick_release_notes_xml "${HALTWICK_RELEASE_NOTES}")
set(haltwick_metainfo ${CMAKE_BINARY_DIR}/metainfo/${HALTWICK_APPSTREAM_ID}.metainfo.xml)
configure_file(${HALTWICK_DATA_DIR}/${HALTWICK_APPSTREAM_ID}.metainfo.xml.in ${haltwick_metainfo}
               @ONLY)
install(FILES ${haltwick_metainfo} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# ---- Debian package -------------------------------------------------------------------------

# The Debian package that ships the Allegro 4 library the game links, e.g. liballegro4.4,
# found by asking dpkg which package owns the library file. Empty off Debian.
set(HALTWICK_ALLEGRO_RUNTIME_PACKAGE "")
find_program(HALTWICK_DPKG_QUERY dpkg-query)
foreach(lib IN LISTS ALLEGRO_LINK_LIBRARIES)
  if(HALTWICK_DPKG_QUERY AND lib MATCHES "/liballeg[^/]*$" AND EXISTS "${lib}")
    get_filename_component(lib_real "${lib}" REALPATH)
    execute_process(COMMAND ${HALTWICK_DPKG_QUERY} -S "${lib_real}"
                    OUTPUT_VARIABLE owner ERROR_QUIET RESULT_VARIABLE failed)
    if(NOT failed AND owner MATCHES "^([^:, ]+)")
      set(HALTWICK_ALLEGRO_RUNTIME_PACKAGE ${CMAKE_MATCH_1})
    endif()
  endif()
endforeach()
if(HALTWICK_ALLEGRO_RUNTIME_PACKAGE)
  message(STATUS "Allegro 4 runtime package: ${HALTWICK_ALLEGRO_RUNTIME_PACKAGE}")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME haltwick)
set(CPACK_PACKAGE_VERSION ${HALTWICK_PACKAGE_VERSION})
set(CPACK_PACKAGE_VENDOR "the Haltwick developers")
set(CPACK_PACKAGE_CONTACT "${HALTWICK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
list(JOIN HALTWICK_DESCRIPTION "\n\n" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_SOURCE_DIR}/README.md)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
find_program(HALTWICK_DPKG_DEB dpkg-deb)
if(HALTWICK_DPKG_DEB)
  set(CPACK_HALTWICK_DPKG_DEB ${HALTWICK_DPKG_DEB})
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/ReproduciblePackages.cmake)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${HALTWICK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names every runtime library package with its least version, Allegro's included.
# Without it the Allegro package is named by hand.
find_program(HALTWICK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(HALTWICK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(HALTWICK_ALLEGRO_RUNTIME_PACKAGE)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${HALTWICK_ALLEGRO_RUNTIME_PACKAGE}, libstdc++6, libc6")
endif()

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/fuzz/corpus-work/")

include(CPack)

if(HALTWICK_TESTS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/package ${CMAKE_BINARY_DIR}/tests/package)
endif()
