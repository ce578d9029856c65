# Packages made by CPack from what `cmake --install` lays out
# (cmake/install.cmake); `cpack --preset release` or `cpack --preset win32`
# writes them into build/<preset>/packages/.
#   Linux:   tolvane_VERSION_amd64.deb (runtime libraries as dependencies,
#            found by dpkg-shlibdeps) and tolvane-VERSION-Linux-x86_64.tar.gz
#            of the same tree, to unpack under any prefix
#   Windows: tolvane-VERSION-win32.zip (win64 from a 64-bit build), to
#            unpack into the FAR Manager folder
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Tolvane developers")
set(CPACK_PACKAGE_CONTACT
    "the Tolvane developers <developers@tolvane.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "FidoNet nodelist browser and V7/V7+ nodelist compiler")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES TRUE)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(flavour win64)
  else()
    set(flavour win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tolvane-${PROJECT_VERSION}-${flavour})
  # The archive's top is the FAR folder itself.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  # The Debian package installs under /usr (its generator's default); the
  # archive holds bin/, lib/ and share/ under its top folder.
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_SYSTEM_NAME Linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION net)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The long description; CPack puts the summary above it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Tolvane shows a FidoNet nodelist compiled into Version 7 files (V7,
optionally V7+) as a tree of zones, nets, nodes and points, with a sysop
search, eight sort orders, node descriptions and the internet endpoints of
every entry. It is a panel plugin for the file manager FAR Manager; the
tolvane program loads the same plugin in a small host of its own, as an
interactive browser in the terminal and as commands for scripts.
.
tolvane-compile compiles a text nodelist and pointlists (plain or packed
in ZIP) into V7/V7+ files and brings a folder up to date with the weekly
nodediff files; tolvane-dump prints a compiled set as the plugin reads it.")
endif()

include(CPack)
