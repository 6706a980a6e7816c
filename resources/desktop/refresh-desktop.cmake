# Tells the desktop that the program's entry and icon under the prefix came
# or went: the desktop database (which maps the URL scheme to its handler in
# mimeinfo.cache) and the icon theme's cache, where each tool is installed.
# The desktop database is refreshed where the folder holds a desktop entry
# or a cache already, and the icon cache only where the theme folder has one
# already, so no cache is made for nothing.
function(tolvek_refresh_desktop root)
  set(applications "${root}/share/applications")
  file(GLOB entries "${applications}/*.desktop")
  find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
  if(UPDATE_DESKTOP_DATABASE AND (entries OR EXISTS "${applications}/mimeinfo.cache"))
    execute_process(COMMAND "${UPDATE_DESKTOP_DATABASE}" -q "${applications}")
  endif()
  set(icons "${root}/share/icons/hicolor")
  find_program(UPDATE_ICON_CACHE gtk-update-icon-cache)
  if(UPDATE_ICON_CACHE AND EXISTS "${icons}/icon-theme.cache")
    execute_process(COMMAND "${UPDATE_ICON_CACHE}" -q -t -f "${icons}")
  endif()
endfunction()
