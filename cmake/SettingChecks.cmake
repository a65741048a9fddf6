# Checks of settings that end up in what ships. Shared by the configure
# step and by the scripts that run at build time, which take such texts
# from files, never from a command line.
include_guard(GLOBAL)

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

# The product's version, split into its three numbers (MAJOR, MINOR, PATCH
# are the names of the variables set). It becomes 16-bit fields of the
# version resources, DWORDs of the Uninstall entry, the manifest's
# PackageVersion and text on a command line: only three decimal numbers of
# at most 65535, with dots between them, pass. A leading zero is refused:
# "1.01.0" would compare equal to "1.1.0" as numbers but not as the text
# that the entry and the manifest hold, and a package manager sees the text.
function(pictavo_version_parts version major minor patch)
    set(number "(0|[1-9][0-9]?[0-9]?[0-9]?[0-9]?)")
    if(NOT version MATCHES "^${number}\\.${number}\\.${number}$")
        message(FATAL_ERROR "PICTAVO_VERSION \"${version}\" is no version: give three decimal numbers "
                            "with dots between them and no leading zero, such as 1.1.0")
    endif()
    set(names ${major} ${minor} ${patch})
    set(numbers ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3})
    foreach(name number IN ZIP_LISTS names numbers)
        if(number GREATER 65535)
            message(FATAL_ERROR "PICTAVO_VERSION \"${version}\": ${number} is more than 65535, "
                                "the most that a version resource holds")
        endif()
        set(${name} ${number} PARENT_SCOPE)
    endforeach()
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
