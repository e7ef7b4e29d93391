# Writes kestra-tool's bash completion from the built tool's command table.
# cmake -DTOOL=path/to/kestra-tool -DTEMPLATE=kestra-tool.bash.in -DOUTPUT=kestra-tool.bash -P ...
include(${CMAKE_CURRENT_LIST_DIR}/command_table.cmake)
kestra_read_command_table("${TOOL}")

list(JOIN kestra_commands " " COMMANDS)
list(JOIN kestra_tool_options " " TOOL_OPTIONS)
set(COMMAND_CASES "")
foreach(command IN LISTS kestra_commands)
    list(JOIN kestra_${command}_options " " options)
    list(JOIN kestra_${command}_value_options " " valueOptions)
    string(APPEND COMMAND_CASES
           "    ${command}) options='${options}' valueOptions='${valueOptions}' ;;\n")
endforeach()

# The values of the options that take one of a few ("--strings 16 32").
execute_process(COMMAND "${TOOL}" --list-values OUTPUT_VARIABLE valueTable RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} --list-values failed (${status})")
endif()
string(REGEX REPLACE "\n$" "" valueTable "${valueTable}")
string(REPLACE "\n" ";" valueLines "${valueTable}")
set(VALUE_CASES "")
foreach(line IN LISTS valueLines)
    string(REGEX MATCH "^([^ ]+) (.*)$" ignored "${line}")
    string(APPEND VALUE_CASES "        ${CMAKE_MATCH_1}) values='${CMAKE_MATCH_2}' ;;\n")
endforeach()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
