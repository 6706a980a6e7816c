# Installs the desktop entry at install time, so that its Exec line names
# the program where it is installed (the prefix given to "cmake --install",
# which may differ from the configured one), and lists every file installed
# and every folder the install made, relative to the prefix, in
# TOLVEK_INSTALLED_FILES for uninstall.cmake. Expects
# TOLVEK_DESKTOP_TEMPLATE, TOLVEK_URL_SCHEME, TOLVEK_INSTALLED_FILES and
# TOLVEK_MADE_FOLDERS; honours DESTDIR.
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
# The manifest names files as the prefix places them, without DESTDIR.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/share/applications/tolvek.desktop")

set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(installed "")
foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
  file(RELATIVE_PATH relative "${CMAKE_INSTALL_PREFIX}" "${file}")
  list(APPEND installed "${relative}")
endforeach()
# The folders the install made (see install-folders.cmake).
list(APPEND installed ${TOLVEK_MADE_FOLDERS})

# Installed for real (not staged for a package), the desktop learns of the
# new URL scheme handler and the icon at once. A MIME cache that this makes
# is the install's own, and listed with it.
if("$ENV{DESTDIR}" STREQUAL "")
  set(cache "share/applications/mimeinfo.cache")
  set(cache_existed FALSE)
  if(EXISTS "${root}/${cache}")
    set(cache_existed TRUE)
  endif()
  include("${CMAKE_CURRENT_LIST_DIR}/refresh-desktop.cmake")
  tolvek_refresh_desktop("${root}")
  if(NOT cache_existed AND EXISTS "${root}/${cache}")
    list(APPEND installed "${cache}")
  endif()
endif()

# The list opens with the folder it was installed into. Installed again into
# the same folder, the list keeps what the earlier install made there.
get_filename_component(root_path "${root}" ABSOLUTE)
set(heading "# installed into ${root_path}")
if(EXISTS "${TOLVEK_INSTALLED_FILES}")
  file(STRINGS "${TOLVEK_INSTALLED_FILES}" earlier)
  set(earlier_heading "")
  if(earlier)
    list(GET earlier 0 earlier_heading)
  endif()
  if(earlier_heading STREQUAL heading)
    list(REMOVE_AT earlier 0)
    list(APPEND installed ${earlier})
  endif()
endif()
list(REMOVE_DUPLICATES installed)
list(JOIN installed "\n" installed)
file(WRITE "${TOLVEK_INSTALLED_FILES}" "${heading}\n${installed}\n")
