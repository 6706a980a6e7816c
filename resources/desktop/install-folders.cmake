# Runs before anything is installed: notes which of the folders the install
# writes into do not exist yet under the prefix (the prefix itself
# included), in TOLVEK_MADE_FOLDERS, relative to the prefix with a trailing
# "/" ("./" for the prefix). install-entry.cmake lists them for
# uninstall.cmake, which removes what the install made and nothing else.
# Expects TOLVEK_INSTALL_FOLDERS (relative to the prefix) and
# TOLVEK_RESOURCE_DIR (whose subfolders land in share/tolvek); honours
# DESTDIR.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(folders ${TOLVEK_INSTALL_FOLDERS})
file(GLOB_RECURSE resource_folders LIST_DIRECTORIES true RELATIVE "${TOLVEK_RESOURCE_DIR}" "${TOLVEK_RESOURCE_DIR}/*")
foreach(folder IN LISTS resource_folders)
  if(IS_DIRECTORY "${TOLVEK_RESOURCE_DIR}/${folder}")
    list(APPEND folders "share/tolvek/${folder}")
  endif()
endforeach()

set(TOLVEK_MADE_FOLDERS "")
foreach(folder IN LISTS folders)
  # The folder and each folder above it, up to the prefix, that is missing.
  set(relative "${folder}")
  while(NOT relative STREQUAL "" AND NOT EXISTS "${root}/${relative}")
    list(APPEND TOLVEK_MADE_FOLDERS "${relative}/")
    get_filename_component(relative "${relative}" DIRECTORY)
  endwhile()
  if(relative STREQUAL "" AND NOT EXISTS "${root}")
    list(APPEND TOLVEK_MADE_FOLDERS "./")
  endif()
endforeach()
list(REMOVE_DUPLICATES TOLVEK_MADE_FOLDERS)
