# Run by cpack once it has made its packages (CPACK_POST_BUILD_SCRIPTS), so that each depends on
# its files alone, not on the file system, folder, umask or time zone it was made in:
#
# - a .deb is unpacked and packed again by dpkg-deb, its folders' modes 755 and its Installed-Size
#   counted as dpkg counts it: each file's size in KiB, rounded up, and 1 for each folder. cpack
#   makes the folders it needs under the umask, adds up the folders' sizes, which differ between
#   file systems, and gives its ar members the umask's modes.
# - a .zip goes through strip-nondeterminism, which puts the members in order, drops their owners
#   and sets their times to SOURCE_DATE_EPOCH; cpack stores local time in the folder's order.

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.deb$")
    set(tree ${package}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND ${CPACK_HALTWICK_DPKG_DEB} --raw-extract ${package} ${tree}
                    COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${tree} ${tree}/*)
    list(FILTER entries EXCLUDE REGEX "^DEBIAN(/|$)")
    set(kib 1)
    set(folders ${tree})
    foreach(entry IN LISTS entries)
      if(IS_DIRECTORY ${tree}/${entry})
        list(APPEND folders ${tree}/${entry})
        math(EXPR kib "${kib} + 1")
      else()
        file(SIZE ${tree}/${entry} bytes)
        math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
      endif()
    endforeach()
    file(CHMOD ${folders} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    file(READ ${tree}/DEBIAN/control control)
    string(REGEX REPLACE "\nInstalled-Size: [0-9]*\n" "\nInstalled-Size: ${kib}\n" control
           "${control}")
    file(WRITE ${tree}/DEBIAN/control "${control}")
    execute_process(COMMAND ${CPACK_HALTWICK_DPKG_DEB} --root-owner-group --build ${tree} ${package}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
  elseif(package MATCHES "\\.zip$")
    set(timestamp)
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
      set(timestamp --timestamp $ENV{SOURCE_DATE_EPOCH})
    endif()
    execute_process(COMMAND ${CPACK_HALTWICK_STRIP_NONDETERMINISM} --type zip ${timestamp}
                            ${package}
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
