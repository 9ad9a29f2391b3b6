# Runs at install time (from packaging/CMakeLists.txt): writes the desktop entries and the
# systemd user units with the installed path of ts-chain-folder, so that neither depends on
# PATH, and puts the units where systemd looks for them: lib/systemd/user under /usr and
# /usr/local, share/systemd/user under any other prefix (for ~/.local, $XDG_DATA_HOME's
# systemd/user; elsewhere the README's "systemctl --user link" applies).
# Needs CHAIN_PACKAGING_SOURCE_DIR and CHAIN_PROGRAMS.
set(CHAIN_INSTALLED_BINDIR "${CMAKE_INSTALL_PREFIX}/bin")
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/*$")
  set(unit_dir lib/systemd/user)
else()
  set(unit_dir share/systemd/user)
endif()
# Written straight into the destination (the build tree may belong to someone else, or be
# read-only), and listed in the install manifest as file(INSTALL) would list them.
function(chain_install_configured source destination)
  set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${destination}")
  message(STATUS "Installing: ${target}")
  configure_file("${source}" "${target}" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()
foreach(program IN LISTS CHAIN_PROGRAMS)
  chain_install_configured("${CHAIN_PACKAGING_SOURCE_DIR}/desktop/${program}.desktop.in"
    "share/applications/ts-chain-${program}.desktop")
  set(unit "${CHAIN_PACKAGING_SOURCE_DIR}/systemd/ts-chain-${program}.service.in")
  if(EXISTS "${unit}")
    chain_install_configured("${unit}" "${unit_dir}/ts-chain-${program}.service")
  endif()
endforeach()
