# Writes a help2man include file whose COMMANDS section holds the --help of every command of the
# built kestra-tool, so that its manual page documents each command as the tool itself does.
# cmake -DTOOL=path/to/kestra-tool -DOUTPUT=commands.h2m -P man_commands.cmake
include(${CMAKE_CURRENT_LIST_DIR}/command_table.cmake)
kestra_read_command_table("${TOOL}")

set(text "[COMMANDS]\n")
foreach(command IN LISTS kestra_commands)
    execute_process(COMMAND "${TOOL}" ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${TOOL} ${command} --help failed (${status})")
    endif()
    # Shown as written: backslashes escaped, and no line may read as a roff request or, to
    # help2man, as the start of another section.
    string(REPLACE "\\" "\\e" help "${help}")
    string(REGEX REPLACE "\n([./'[])" "\n\\\\&\\1" help "${help}")
    string(APPEND text ".SS ${command}\n.nf\n${help}.fi\n")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
