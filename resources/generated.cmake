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
