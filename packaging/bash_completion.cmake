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
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
