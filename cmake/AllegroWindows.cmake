# Allegro 4 for the Windows build. Debian ships the library for Linux only, so it is built here
# from the source Debian's archive carries (windows/allegro/build), as a static library under
# the build folder, and rebuilt only when that script or a patch changes.
set(HALTWICK_ALLEGRO_WINDOWS ${CMAKE_BINARY_DIR}/allegro)
set(haltwick_alleg ${HALTWICK_ALLEGRO_WINDOWS}/lib/liballeg.a)
file(GLOB haltwick_allegro_patches CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/windows/allegro/*.patch)
add_custom_command(
  OUTPUT ${haltwick_alleg}
  COMMAND ${CMAKE_SOURCE_DIR}/windows/allegro/build ${HALTWICK_ALLEGRO_WINDOWS} ${CMAKE_TOOLCHAIN_FILE}
  DEPENDS ${CMAKE_SOURCE_DIR}/windows/allegro/build ${haltwick_allegro_patches}
  COMMENT "Building Allegro 4 for Windows"
  VERBATIM)
add_custom_target(haltwick_allegro_windows DEPENDS ${haltwick_alleg})

# The headers appear with the library; the folder must exist when the target is defined.
file(MAKE_DIRECTORY ${HALTWICK_ALLEGRO_WINDOWS}/include)
add_library(Allegro::Windows STATIC IMPORTED)
set_target_properties(Allegro::Windows PROPERTIES
  IMPORTED_LOCATION ${haltwick_alleg}
  INTERFACE_INCLUDE_DIRECTORIES ${HALTWICK_ALLEGRO_WINDOWS}/include
  INTERFACE_COMPILE_DEFINITIONS ALLEGRO_STATICLINK
  INTERFACE_LINK_LIBRARIES "gdi32;winmm;ole32;imm32;dxguid;dinput;ddraw;dsound")
