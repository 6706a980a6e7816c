# Resources made by our own programs at build time.
add_executable(make_sounds ${CMAKE_CURRENT_SOURCE_DIR}/tools/make_sounds.cpp)
set_target_properties(make_sounds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
target_compile_options(make_sounds PRIVATE ${TOLVEK_WARNINGS})
add_custom_command(
  OUTPUT ${TOLVEK_RESOURCE_DIR}/BEEP_FM-1.wav ${TOLVEK_RESOURCE_DIR}/BEEPROBO.WAV
  COMMAND make_sounds ${TOLVEK_RESOURCE_DIR}
  DEPENDS make_sounds
  COMMENT "Making the alert sounds")
add_custom_target(tolvek_sounds DEPENDS ${TOLVEK_RESOURCE_DIR}/BEEP_FM-1.wav ${TOLVEK_RESOURCE_DIR}/BEEPROBO.WAV)
add_dependencies(tolvek_resources tolvek_sounds)

# The images, each at 1x and as its "@2x" twin.
set(TOLVEK_ART_NAMES
  todayplacard timerdial_noticks needle setbutton
  dotoday graphmain setup goodform weektip blank_button
  gf1 gf2 gf3 gf4 gf5 gf6 gf7 gf8
  redo calendar_r ResetDay RestartDay filllog reset shake_icon signout graph_type reminder help
  appicon)
set(art_outputs)
foreach(name ${TOLVEK_ART_NAMES})
  list(APPEND art_outputs ${TOLVEK_RESOURCE_DIR}/${name}.png ${TOLVEK_RESOURCE_DIR}/${name}@2x.png)
endforeach()
add_executable(make_art ${CMAKE_CURRENT_SOURCE_DIR}/tools/make_art.cpp)
set_target_properties(make_art PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
target_compile_options(make_art PRIVATE ${TOLVEK_WARNINGS})
target_link_libraries(make_art PRIVATE PkgConfig::CAIRO PkgConfig::PANGO)
add_custom_command(
  OUTPUT ${art_outputs}
  COMMAND make_art ${TOLVEK_RESOURCE_DIR}
  DEPENDS make_art
  COMMENT "Drawing the images")
add_custom_target(tolvek_art DEPENDS ${art_outputs})
add_dependencies(tolvek_resources tolvek_art)
