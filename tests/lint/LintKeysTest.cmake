# scripts/lint keys: the sources pass, and a settings-key literal outside
# training/SettingsKeys.h (here a misspelt one, in code and in a comment) is
# refused with its place named, while the header itself may hold them.
#
#   cmake -DSOURCE=<source dir> -DSCRATCH=<scratch dir> -P LintKeysTest.cmake
foreach(var SOURCE SCRATCH)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not given")
  endif()
endforeach()

execute_process(COMMAND "${SOURCE}/scripts/lint" keys RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the sources hold settings-key literals:\n${out}\n${err}")
endif()

file(REMOVE_RECURSE "${SCRATCH}")
file(WRITE "${SCRATCH}/training/SettingsKeys.h" "inline constexpr const char* kLevel = \"Tolvek_Level\";\n")
execute_process(COMMAND "${SOURCE}/scripts/lint" keys "${SCRATCH}" RESULT_VARIABLE status OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the keys header itself was refused:\n${out}\n${err}")
endif()

file(WRITE "${SCRATCH}/screens/Options.cpp" "int level() {\n    return defaults().integerForKey(\"Tolvek_Levle\");\n}\n")
file(WRITE "${SCRATCH}/training/Options.h" "// Reads \"Tolvek_Week\".\n")
execute_process(COMMAND "${SOURCE}/scripts/lint" keys "${SCRATCH}" RESULT_VARIABLE status OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(status EQUAL 0)
  message(FATAL_ERROR "a literal settings key passed:\n${out}")
endif()
foreach(place "screens/Options.cpp:2:" "training/Options.h:1:")
  string(FIND "${out}" "${place}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the refusal does not name ${place}:\n${out}\n${err}")
  endif()
endforeach()
