# Installs the desktop entry at install time, so that its Exec line names
# the program where it is installed (the prefix given to "cmake --install",
# which may differ from the configured one). Expects TOLVEK_DESKTOP_TEMPLATE
# and TOLVEK_URL_SCHEME; honours DESTDIR.
set(TOLVEK_EXEC "${CMAKE_INSTALL_PREFIX}/bin/tolvek")
# A path with characters the Exec line would read as its own is quoted;
# the few that would need escaping twice over are refused.
if(TOLVEK_EXEC MATCHES "[\"`$\\]")
  message(FATAL_ERROR "The install prefix ${CMAKE_INSTALL_PREFIX} holds a character a desktop entry cannot name")
endif()
string(REPLACE "%" "%%" TOLVEK_EXEC "${TOLVEK_EXEC}")
if(TOLVEK_EXEC MATCHES "[ \t'<>~|&;*?#()]")
  set(TOLVEK_EXEC "\"${TOLVEK_EXEC}\"")
endif()
file(READ "${TOLVEK_DESKTOP_TEMPLATE}" entry)
string(CONFIGURE "${entry}" entry @ONLY)
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications")
file(MAKE_DIRECTORY "${folder}")
message(STATUS "Installing: ${folder}/tolvek.desktop")
file(WRITE "${folder}/tolvek.desktop" "${entry}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${folder}/tolvek.desktop")
# Installed for real (not staged for a package), the desktop learns of the
# new URL scheme handler at once.
if("$ENV{DESTDIR}" STREQUAL "")
  find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
  if(UPDATE_DESKTOP_DATABASE)
    execute_process(COMMAND "${UPDATE_DESKTOP_DATABASE}" -q "${folder}")
  endif()
endif()
