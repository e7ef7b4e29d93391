# Reads kestra-tool's command table from the built tool (kestra-tool --list-commands), so that
# what the build generates from it follows every command and option the tool has.
#
# kestra_read_command_table(TOOL) sets, in the caller's scope:
#   kestra_tool_options               what the tool takes in place of a command (--help, ...)
#   kestra_commands                   the command names, in the order of the tool's --help
#   kestra_<command>_options          every option of that command
#   kestra_<command>_value_options    those of them that take a value
function(kestra_read_command_table tool)
    execute_process(COMMAND "${tool}" --list-commands
                    OUTPUT_VARIABLE table RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR table STREQUAL "")
        message(FATAL_ERROR "${tool} --list-commands failed (${status})")
    endif()
    string(REGEX REPLACE "\n$" "" table "${table}")
    string(REPLACE "\n" ";" lines "${table}")
    list(POP_FRONT lines toolLine)
    string(REPLACE " " ";" toolOptions "${toolLine}")
    list(POP_FRONT toolOptions)
    set(kestra_tool_options "${toolOptions}" PARENT_SCOPE)

    set(commands "")
    foreach(line IN LISTS lines)
        string(REPLACE " " ";" words "${line}")
        list(POP_FRONT words command)
        set(options "")
        set(valueOptions "")
        foreach(word IN LISTS words)
            if(word MATCHES "^(.*)=$")
                list(APPEND valueOptions "${CMAKE_MATCH_1}")
                set(word "${CMAKE_MATCH_1}")
            endif()
            list(APPEND options "${word}")
        endforeach()
        list(APPEND commands "${command}")
        set(kestra_${command}_options "${options}" PARENT_SCOPE)
        set(kestra_${command}_value_options "${valueOptions}" PARENT_SCOPE)
    endforeach()
    set(kestra_commands "${commands}" PARENT_SCOPE)
endfunction()
