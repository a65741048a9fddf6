# Checks of settings that end up in what ships. Shared by the configure
# step and by the scripts that run at build time, which take such texts
# from files, never from a command line.

# A control character would end a YAML line or a command, whatever quoting
# is around it: such a value is refused, never cleaned up.
function(pictavo_refuse_control_characters what value)
    set(controls "")
    foreach(code RANGE 1 31)
        string(ASCII ${code} character)
        string(APPEND controls "${character}")
    endforeach()
    string(ASCII 127 delete)
    if(value MATCHES "[${controls}${delete}]")
        message(FATAL_ERROR "${what} holds a control character (a line break, a tab...): refused")
    endif()
endfunction()

# OUT = value as a single-quoted YAML scalar: its quotes doubled, nothing
# else has a meaning there.
function(pictavo_yaml_quoted out what value)
    pictavo_refuse_control_characters("${what}" "${value}")
    string(REPLACE "'" "''" value "${value}")
    set(${out} "'${value}'" PARENT_SCOPE)
endfunction()

# Writes text to path unless the file holds it already, so that what
# depends on the file is made again only when the text changes.
function(pictavo_write_if_changed path text)
    if(EXISTS "${path}")
        file(READ "${path}" old)
        if(old STREQUAL text)
            return()
        endif()
    endif()
    file(WRITE "${path}" "${text}")
endfunction()

# A password file that others may read is a password that others know:
# refused before the signing tool reads it. OUT = why, or empty.
function(pictavo_password_file_fault out path)
    execute_process(COMMAND stat -L -c %a "${path}" OUTPUT_VARIABLE mode RESULT_VARIABLE failed
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(${out} "" PARENT_SCOPE)
    if(failed OR NOT mode MATCHES "^[0-7]*[0-7]00$")
        set(${out} "PICTAVO_SIGNING_PASSWORD_FILE ${path} may be read or written by others (mode ${mode}): make it its owner's alone (chmod 600)" PARENT_SCOPE)
    endif()
endfunction()
