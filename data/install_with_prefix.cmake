# Runs at install time: writes the files that hold the programs' full path,
# with @VANNOIR_BINDIR@ replaced by <prefix>/bin.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
foreach(pair "fr.vannoir.vannoir.desktop;share/applications" "vannoir-cli.service;share/systemd/user")
  list(GET pair 0 name)
  list(GET pair 1 folder)
  file(READ "${VANNOIR_DATA_DIR}/${name}" text)
  string(REPLACE "@VANNOIR_BINDIR@" "${prefix}/bin" text "${text}")
  set(target "$ENV{DESTDIR}${prefix}/${folder}/${name}")
  message(STATUS "Installing: ${target}")
  file(WRITE "${target}" "${text}")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
endforeach()
