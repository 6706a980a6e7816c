# Removes what "cmake --install" put under PREFIX (below DESTDIR when that is
# given, as at the install): the files the install listed, relative to its
# prefix, in FILES (see install-entry.cmake), then the program's own folder
# of resources. Installed for real (not staged), the desktop is told the
# entry and icon are gone, so no handler of the URL scheme is left behind.
# When the list was written by an install into this same folder, the MIME
# cache and the folders that install made go too, once nothing else is in
# them; a cache or folder that was there before the install stays. When
# none of the listed files is under PREFIX (another prefix than the
# install's, or uninstalled already), it says so in a line or two, naming
# the folder the install went to, touches nothing and ends without error.
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
get_filename_component(root_path "${root}" ABSOLUTE)
file(STRINGS "${FILES}" installed)
# The list's heading names the folder it was installed into.
set(same_folder FALSE)
if(installed)
  list(GET installed 0 heading)
  if(heading STREQUAL "# installed into ${root_path}")
    set(same_folder TRUE)
  endif()
endif()
set(cache "share/applications/mimeinfo.cache")

# The listed files (not folders, not the cache), and how many are there now.
set(listed 0)
set(present 0)
set(first_listed "")
foreach(relative IN LISTS installed)
  if(relative MATCHES "^#" OR relative MATCHES "/$" OR relative STREQUAL cache OR relative STREQUAL ""
     OR IS_ABSOLUTE "${relative}" OR relative MATCHES "(^|/)\\.\\.(/|$)")
    continue()
  endif()
  math(EXPR listed "${listed} + 1")
  if(first_listed STREQUAL "" OR relative STREQUAL "bin/tolvek")
    set(first_listed "${relative}")
  endif()
  if(EXISTS "${root}/${relative}" OR IS_SYMLINK "${root}/${relative}")
    math(EXPR present "${present} + 1")
  endif()
endforeach()
# None of them is there: say what was looked for, and where the last
# install went when that was somewhere else; nothing under this prefix is
# touched then. No file of the program is left under the prefix, as
# uninstalling would leave it: this ends without an error.
if(listed GREATER 0 AND present EQUAL 0)
  math(EXPR others "${listed} - 1")
  if(others EQUAL 0)
    set(what "${first_listed}, and it is not")
  elseif(others EQUAL 1)
    set(what "${first_listed} and 1 other file, and neither is")
  else()
    set(what "${first_listed} and ${others} other files, and none of them is")
  endif()
  if(same_folder)
    message(NOTICE "Nothing to uninstall in ${root_path}: the last \"make install\" listed ${what} there any more.")
  else()
    string(REGEX REPLACE "^# installed into " "" last_root "${heading}")
    message(NOTICE "Nothing to uninstall in ${root_path}: the last \"make install\" listed ${what} there.")
    if(NOT last_root STREQUAL "" AND NOT last_root STREQUAL heading)
      message(NOTICE "That install went to ${last_root}: run \"make uninstall\" with the PREFIX (and DESTDIR) "
                     "it was given.")
    endif()
    return()
  endif()
endif()

set(made_cache FALSE)
set(made_folders "")
set(removed 0)
foreach(relative IN LISTS installed)
  if(relative MATCHES "^#")
    continue()
  endif()
  # Only names below the prefix: the list is a file anyone could edit.
  if(relative STREQUAL "" OR IS_ABSOLUTE "${relative}" OR relative MATCHES "(^|/)\\.\\.(/|$)")
    message(WARNING "Not removing ${relative}: not a path below the prefix")
    continue()
  endif()
  # What the install made besides its files: listed folders ("/" at the
  # end) and the MIME cache, trusted only from an install into this folder.
  if(relative MATCHES "/$")
    if(same_folder)
      list(APPEND made_folders "${relative}")
    endif()
    continue()
  endif()
  if(relative STREQUAL cache)
    set(made_cache ${same_folder})
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

# Whether the folder holds nothing, hidden files included.
function(tolvek_folder_is_empty folder result)
  file(GLOB inside LIST_DIRECTORIES true "${folder}/*" "${folder}/.*")
  if(inside)
    set(${result} FALSE PARENT_SCOPE)
  else()
    set(${result} TRUE PARENT_SCOPE)
  endif()
endfunction()

# The resources' folders, deepest first, once they are empty.
set(resources "${root}/share/tolvek")
if(IS_DIRECTORY "${resources}")
  file(GLOB_RECURSE folders LIST_DIRECTORIES true "${resources}/*")
  list(REVERSE folders)
  foreach(folder IN LISTS folders ITEMS "${resources}")
    if(IS_DIRECTORY "${folder}")
      tolvek_folder_is_empty("${folder}" empty)
      if(empty)
        file(REMOVE_RECURSE "${folder}")
      endif()
    endif()
  endforeach()
endif()
if(present GREATER 0 OR listed EQUAL 0)
  message(STATUS "Removed ${removed} files from ${root}")
endif()

# The MIME cache the install made goes once no desktop entry is left for it
# to describe; otherwise the desktop is told what is gone.
if(made_cache)
  file(GLOB entries "${root}/share/applications/*.desktop")
  if(NOT entries AND EXISTS "${root}/${cache}")
    message(STATUS "Removing: ${root}/${cache}")
    file(REMOVE "${root}/${cache}")
  endif()
endif()
if("$ENV{DESTDIR}" STREQUAL "")
  include("${CMAKE_CURRENT_LIST_DIR}/refresh-desktop.cmake")
  tolvek_refresh_desktop("${root}")
endif()

# The folders the install made, deepest first (a folder sorts before the
# ones inside it), once they are empty.
list(SORT made_folders)
list(REVERSE made_folders)
foreach(relative IN LISTS made_folders)
  string(REGEX REPLACE "/$" "" relative "${relative}")
  if(relative STREQUAL ".")
    set(folder "${root}")
  else()
    set(folder "${root}/${relative}")
  endif()
  if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
    tolvek_folder_is_empty("${folder}" empty)
    if(empty)
      message(STATUS "Removing: ${folder}")
      file(REMOVE_RECURSE "${folder}")
    endif()
  endif()
endforeach()
