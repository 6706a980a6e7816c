# Removes what "cmake --install" put under PREFIX (below DESTDIR when that is
# given, as at the install): the files the install listed, relative to its
# prefix, in FILES (see install-entry.cmake), then the program's own folder
# of resources. Installed for real (not staged), the desktop is told the
# entry and icon are gone, so no handler of the URL scheme is left behind.
#
#   DESTDIR=... cmake -DPREFIX=<prefix> -DFILES=<build>/installed-files.txt -P uninstall.cmake
if(NOT PREFIX)
  message(FATAL_ERROR "PREFIX is not given")
endif()
if(NOT FILES OR NOT EXISTS "${FILES}")
  message(FATAL_ERROR "Nothing to uninstall: the list of installed files (${FILES}) is missing; "
                      "it is written by \"make install\" from this build")
endif()
set(root "$ENV{DESTDIR}${PREFIX}")
file(STRINGS "${FILES}" installed)
set(removed 0)
foreach(relative IN LISTS installed)
  # Only names below the prefix: the list is a file anyone could edit.
  if(relative STREQUAL "" OR IS_ABSOLUTE "${relative}" OR relative MATCHES "(^|/)\\.\\.(/|$)")
    message(WARNING "Not removing ${relative}: not a path below the prefix")
    continue()
  endif()
  set(file "${root}/${relative}")
  if(EXISTS "${file}" OR IS_SYMLINK "${file}")
    if(IS_DIRECTORY "${file}" AND NOT IS_SYMLINK "${file}")
      continue()
    endif()
    message(STATUS "Removing: ${file}")
    file(REMOVE "${file}")
    math(EXPR removed "${removed} + 1")
  endif()
endforeach()
# The resources' folders, deepest first, once they are empty.
set(resources "${root}/share/tolvek")
if(IS_DIRECTORY "${resources}")
  file(GLOB_RECURSE folders LIST_DIRECTORIES true "${resources}/*")
  list(REVERSE folders)
  foreach(folder IN LISTS folders ITEMS "${resources}")
    if(IS_DIRECTORY "${folder}")
      file(GLOB inside "${folder}/*")
      if(NOT inside)
        file(REMOVE_RECURSE "${folder}")
      endif()
    endif()
  endforeach()
endif()
message(STATUS "Removed ${removed} files from ${root}")
if("$ENV{DESTDIR}" STREQUAL "")
  include("${CMAKE_CURRENT_LIST_DIR}/refresh-desktop.cmake")
  tolvek_refresh_desktop("${root}")
endif()
