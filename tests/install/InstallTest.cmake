# Installs the build into a scratch DESTDIR (prefix /usr) as "make install"
# does, checks what lands there, has desktop-file-validate read the desktop
# entry, and runs the installed program headless through the first test in
# a home of its own: it must find its resources beside itself, not in the
# build tree. Then uninstalls as "make uninstall" does: nothing is left.
# Installed for real into private prefixes, uninstalling removes the folders
# and the desktop's MIME cache the install made, and keeps those it found;
# from another prefix, or a second time, it says that nothing is there and
# removes nothing.
# The build's list of installed files is as the test found it afterwards.
#
#   cmake -DBUILD=<build dir> -DSOURCE=<source dir> -DSCRATCH=<scratch dir> -P InstallTest.cmake
foreach(var BUILD SOURCE SCRATCH)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not given")
  endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
# The list "make uninstall" reads is the user's: it is put back before the
# test ends, whether it passes or fails.
set(installed_list "${BUILD}/installed-files.txt")
set(saved_list "${SCRATCH}/installed-files.txt")
file(MAKE_DIRECTORY "${SCRATCH}")
if(EXISTS "${installed_list}")
  file(COPY_FILE "${installed_list}" "${saved_list}")
endif()
function(restore_installed_list)
  if(EXISTS "${saved_list}")
    file(COPY_FILE "${saved_list}" "${installed_list}")
  else()
    file(REMOVE "${installed_list}")
  endif()
endfunction()
function(fail text)
  restore_installed_list()
  message(FATAL_ERROR "${text}")
endfunction()

set(stage "${SCRATCH}/stage")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${stage}" ${CMAKE_COMMAND} --install "${BUILD}" --prefix /usr --strip
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  fail("make install into DESTDIR failed (${status}):\n${out}\n${err}")
endif()

set(root "${stage}/usr")
foreach(file bin/tolvek share/tolvek/Tolvek.sqlite share/tolvek/LogDay.sqlite share/tolvek/BEEP_FM-1.wav
             share/tolvek/dotoday@2x.png share/applications/tolvek.desktop
             share/icons/hicolor/128x128/apps/tolvek.png share/icons/hicolor/256x256/apps/tolvek.png)
  if(NOT EXISTS "${root}/${file}")
    fail("not installed: ${file}")
  endif()
endforeach()
# The program is installed without its debugging symbols; the build keeps them.
file(SIZE "${root}/bin/tolvek" installed_size)
file(SIZE "${BUILD}/bin/tolvek" built_size)
message(STATUS "The installed program is ${installed_size} bytes (built: ${built_size})")
if(NOT installed_size LESS built_size)
  fail("the program is installed with its symbols (${installed_size} bytes, built ${built_size})")
endif()
if(EXISTS "${root}/bin/resources")
  fail("the resources are installed beside the program instead of in share/tolvek")
endif()

# The entry runs the program where the prefix puts it (not the staging
# folder), with the URL it is given, and declares the program's URL scheme.
file(READ "${root}/share/applications/tolvek.desktop" entry)
foreach(line "Exec=/usr/bin/tolvek %u" "Icon=tolvek" "MimeType=x-scheme-handler/fb[0-9]+;")
  if(NOT entry MATCHES "\n${line}\n")
    fail("the desktop entry lacks \"${line}\":\n${entry}")
  endif()
endforeach()
find_program(VALIDATE desktop-file-validate)
if(NOT VALIDATE)
  fail("desktop-file-validate is missing (scripts/install-deps installs it)")
endif()
execute_process(COMMAND "${VALIDATE}" "${root}/share/applications/tolvek.desktop"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
  fail("desktop-file-validate does not accept the entry:\n${out}${err}")
endif()

# The installed program, headless, through the first test and first workout.
set(home "${SCRATCH}/home")
file(MAKE_DIRECTORY "${home}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=XDG_RUNTIME_DIR
          "HOME=${home}" "XDG_DATA_HOME=${home}/data" "XDG_CONFIG_HOME=${home}/config" "XDG_CACHE_HOME=${home}/cache"
          SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TOLVEK_LOOPBACK_ONLY=1 ASAN_OPTIONS=detect_leaks=0
          "${root}/bin/tolvek" --headless --script "${SOURCE}/tests/training/scripts/new_user.script"
          --screenshots "${SCRATCH}/shots"
  WORKING_DIRECTORY "${SCRATCH}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  fail("the installed program failed the first test (${status}):\n${out}\n${err}")
endif()
foreach(shot 01-setup 06-workout 09-day-completed)
  if(NOT EXISTS "${SCRATCH}/shots/${shot}.png")
    fail("the installed program took no screenshot ${shot}")
  endif()
endforeach()
if(NOT EXISTS "${home}/data/tolvek/Documents/LogDay.sqlite")
  fail("the installed program kept no log in its home")
endif()

# Uninstalled from the same place, nothing of it is left there.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${stage}" ${CMAKE_COMMAND} -DPREFIX=/usr
          "-DFILES=${BUILD}/installed-files.txt" -P "${SOURCE}/resources/desktop/uninstall.cmake"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  fail("make uninstall failed (${status}):\n${out}\n${err}")
endif()
file(GLOB_RECURSE left LIST_DIRECTORIES true "${stage}/*")
if(left)
  string(REPLACE ";" "\n" left "${left}")
  fail("uninstalling left these behind:\n${left}")
endif()
if(IS_DIRECTORY "${root}/share/tolvek")
  fail("uninstalling left the resources' folder behind")
endif()

# Installed for real into a private prefix, as "make install PREFIX=...".
function(run_make what prefix)
  if(what STREQUAL "install")
    set(command ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}" --strip)
  else()
    set(command ${CMAKE_COMMAND} -DPREFIX=${prefix} "-DFILES=${installed_list}" -P "${SOURCE}/resources/desktop/uninstall.cmake")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DESTDIR ${command}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    fail("make ${what} PREFIX=${prefix} failed (${status}):\n${out}\n${err}")
  endif()
endfunction()
# A prefix that is not there yet, installed into twice over: the MIME cache
# the install makes, its folders and the prefix itself all go.
set(private "${SCRATCH}/private/made")
run_make(install "${private}")
run_make(install "${private}")
find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
if(UPDATE_DESKTOP_DATABASE AND NOT EXISTS "${private}/share/applications/mimeinfo.cache")
  fail("installing into ${private} made no MIME cache for the URL scheme")
endif()

# "make uninstall" with a PREFIX, answering its status and all it said.
function(uninstall_from prefix status_var said_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DESTDIR ${CMAKE_COMMAND} -DPREFIX=${prefix}
                          "-DFILES=${installed_list}" -P "${SOURCE}/resources/desktop/uninstall.cmake"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${status_var} "${status}" PARENT_SCOPE)
  set(${said_var} "${out}${err}" PARENT_SCOPE)
endfunction()
# Given another prefix, where none of the listed files is (but an empty
# resources folder and a MIME cache of something else are), uninstalling
# says in two lines what it looked for and where the install went, ends
# without error, and touches neither prefix.
set(elsewhere "${SCRATCH}/private/elsewhere")
file(MAKE_DIRECTORY "${elsewhere}/share/tolvek")
file(WRITE "${elsewhere}/share/applications/mimeinfo.cache" "[MIME Cache]\n")
file(GLOB_RECURSE elsewhere_before LIST_DIRECTORIES true "${elsewhere}/*")
file(GLOB_RECURSE private_before LIST_DIRECTORIES true "${private}/*")
uninstall_from("${elsewhere}" status said)
if(NOT status EQUAL 0)
  fail("uninstalling from a prefix the install did not use failed (${status}):\n${said}")
endif()
string(STRIP "${said}" said)
string(REGEX MATCHALL "\n" breaks "${said}")
list(LENGTH breaks breaks)
set(expected "^Nothing to uninstall in ${elsewhere}: the last \"make install\" listed bin/tolvek and [0-9]+ other ")
string(APPEND expected "files, and none of them is there\\.\nThat install went to ${private}: ")
if(NOT said MATCHES "${expected}" OR NOT breaks EQUAL 1)
  fail("uninstalling from a prefix the install did not use said:\n${said}")
endif()
file(GLOB_RECURSE elsewhere_after LIST_DIRECTORIES true "${elsewhere}/*")
file(GLOB_RECURSE private_after LIST_DIRECTORIES true "${private}/*")
if(NOT elsewhere_after STREQUAL elsewhere_before OR NOT private_after STREQUAL private_before)
  fail("uninstalling from a prefix the install did not use changed files in it or in the install's")
endif()

run_make(uninstall "${private}")
if(EXISTS "${private}")
  file(GLOB_RECURSE left LIST_DIRECTORIES true "${private}/*")
  string(REPLACE ";" "\n" left "${left}")
  fail("uninstalling from a private prefix left it behind, with:\n${left}")
endif()
# Uninstalled twice from the same prefix: the second says nothing is left
# there, ends without error and makes nothing.
uninstall_from("${private}" status said)
if(NOT status EQUAL 0 OR NOT said MATCHES "^Nothing to uninstall in ${private}: .* there any more\\.\n$"
   OR EXISTS "${private}")
  fail("uninstalling a second time from ${private} ended with ${status} and said:\n${said}")
endif()
# A prefix whose applications folder and MIME cache were there before the
# install: they stay, the cache no longer naming the program.
set(private "${SCRATCH}/private/kept")
set(cache "${private}/share/applications/mimeinfo.cache")
file(WRITE "${cache}" "[MIME Cache]\n")
run_make(install "${private}")
run_make(uninstall "${private}")
file(GLOB_RECURSE left LIST_DIRECTORIES true "${private}/*")
if(NOT left STREQUAL "${private}/share;${private}/share/applications;${cache}")
  string(REPLACE ";" "\n" left "${left}")
  fail("uninstalling did not leave exactly what was there before the install:\n${left}")
endif()
file(READ "${cache}" cached)
if(cached MATCHES "tolvek")
  fail("the MIME cache found before the install still names the program:\n${cached}")
endif()

restore_installed_list()
file(REMOVE_RECURSE "${SCRATCH}")
