# Tells the desktop that the program's entry and icon under the prefix came
# or went: the desktop database (which maps the URL scheme to its handler in
# mimeinfo.cache) and the icon theme's cache, where each tool is installed.
# The icon cache is only refreshed where the theme folder has one already,
# so none is made where the desktop does without.
function(tolvek_refresh_desktop root)
  find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
  if(UPDATE_DESKTOP_DATABASE AND IS_DIRECTORY "${root}/share/applications")
    execute_process(COMMAND "${UPDATE_DESKTOP_DATABASE}" -q "${root}/share/applications")
  endif()
  set(icons "${root}/share/icons/hicolor")
  find_program(UPDATE_ICON_CACHE gtk-update-icon-cache)
  if(UPDATE_ICON_CACHE AND EXISTS "${icons}/icon-theme.cache")
    execute_process(COMMAND "${UPDATE_ICON_CACHE}" -q -t -f "${icons}")
  endif()
endfunction()
