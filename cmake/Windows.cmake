# The Windows build: haltwick.exe, 64-bit, for the GUI subsystem (no console window), with the
# C++ runtime and winpthreads linked in so that it needs only DLLs every Windows has; the game's
# icon and version information as resources; and the release zip, by `cpack` in the build tree:
#
#   haltwick-<version>-win64.zip
#     haltwick-<version>-win64/haltwick.exe
#     haltwick-<version>-win64/README.txt          players' part of README.md, as plain text
#     haltwick-<version>-win64/LICENSE.txt         the game's licence
#     haltwick-<version>-win64/ALLEGRO-LICENSE.txt the graphics library's giftware licence

# The game's code compiles against the headers the library build installs.
add_dependencies(haltwick_core haltwick_allegro_windows)

set_target_properties(haltwick PROPERTIES WIN32_EXECUTABLE ON)
target_link_options(haltwick PRIVATE -static)

set(haltwick_win ${CMAKE_BINARY_DIR}/windows)

# The icon, from the desktop icons drawn from the train art, each size drawn for itself: the
# sizes Explorer and the task bar ask for, the largest kept as PNG.
find_program(HALTWICK_ICOTOOL icotool REQUIRED)
set(haltwick_icons ${CMAKE_SOURCE_DIR}/data/icons/hicolor)
set(haltwick_ico ${haltwick_win}/haltwick.ico)
set(haltwick_ico_sizes)
foreach(size 16 24 32 48)
  list(APPEND haltwick_ico_sizes ${haltwick_icons}/${size}x${size}/apps/haltwick.png)
endforeach()
add_custom_command(
  OUTPUT ${haltwick_ico}
  COMMAND ${HALTWICK_ICOTOOL} -c -o ${haltwick_ico} ${haltwick_ico_sizes}
          -r ${haltwick_icons}/256x256/apps/haltwick.png
  DEPENDS ${haltwick_ico_sizes} ${haltwick_icons}/256x256/apps/haltwick.png
  VERBATIM)

enable_language(RC)
set(haltwick_manifest ${haltwick_win}/haltwick.manifest)
configure_file(${CMAKE_SOURCE_DIR}/windows/haltwick.manifest.in ${haltwick_manifest} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/windows/haltwick.rc.in ${haltwick_win}/haltwick.rc @ONLY)
set_source_files_properties(${haltwick_win}/haltwick.rc PROPERTIES
  OBJECT_DEPENDS "${haltwick_ico};${haltwick_manifest}")
target_sources(haltwick PRIVATE ${haltwick_win}/haltwick.rc ${haltwick_ico})

# README.txt: the players' parts of README.md as plain text with Windows line ends, made by
# pandoc as windows/readme.lua says.
find_program(HALTWICK_PANDOC pandoc REQUIRED)
add_custom_command(
  OUTPUT ${haltwick_win}/README.txt
  COMMAND ${HALTWICK_PANDOC} --from gfm --to plain --columns 78 --eol crlf
          --metadata version=${HALTWICK_PACKAGE_VERSION}
          --lua-filter ${CMAKE_SOURCE_DIR}/windows/readme.lua
          --output ${haltwick_win}/README.txt ${CMAKE_SOURCE_DIR}/README.md
  DEPENDS ${CMAKE_SOURCE_DIR}/windows/readme.lua ${CMAKE_SOURCE_DIR}/README.md
  VERBATIM)
# The licences with Windows line ends.
find_program(HALTWICK_AWK awk REQUIRED)
function(haltwick_crlf out in)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${HALTWICK_AWK} -v out=${out} "{ printf \"%s\\r\\n\", $0 > out }" ${in}
    DEPENDS ${in}
    VERBATIM)
endfunction()
haltwick_crlf(${haltwick_win}/LICENSE.txt ${CMAKE_SOURCE_DIR}/LICENSE)
haltwick_crlf(${haltwick_win}/ALLEGRO-LICENSE.txt ${HALTWICK_ALLEGRO_WINDOWS}/license.txt)
add_custom_target(haltwick_windows_docs ALL DEPENDS ${haltwick_win}/README.txt
  ${haltwick_win}/LICENSE.txt ${haltwick_win}/ALLEGRO-LICENSE.txt)
add_dependencies(haltwick_windows_docs haltwick_allegro_windows)

install(TARGETS haltwick RUNTIME DESTINATION .)
install(FILES ${haltwick_win}/README.txt ${haltwick_win}/LICENSE.txt
              ${haltwick_win}/ALLEGRO-LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME haltwick)
set(CPACK_PACKAGE_VERSION ${HALTWICK_PACKAGE_VERSION})
set(CPACK_PACKAGE_FILE_NAME haltwick-${HALTWICK_PACKAGE_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
find_program(HALTWICK_STRIP_NONDETERMINISM strip-nondeterminism REQUIRED)
set(CPACK_HALTWICK_STRIP_NONDETERMINISM ${HALTWICK_STRIP_NONDETERMINISM})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/ReproduciblePackages.cmake)
include(CPack)
