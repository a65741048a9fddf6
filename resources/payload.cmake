# The payload as embedded: each product file compressed to SZDD by the
# project's own encoder, named as the Payload table names it, and listed as
# RCDATA FILE0 to FILE4 in payload.rc. The originals are gathered beside
# them, so tests can compare what the installer expands with its source.
# The rows below are the one list of the payload: the resource script, the
# installer's table (payload_rows.h, and payload_digests.h once the files
# are built), the test modules and the size check are all made from it.
add_host_tool(szdd_encode ${CMAKE_SOURCE_DIR}/tools/szdd_encode.cpp)
add_host_tool(write_digests ${CMAKE_SOURCE_DIR}/tools/write_digests.cpp
              ${CMAKE_SOURCE_DIR}/base/crc32.cpp ${CMAKE_SOURCE_DIR}/base/crc32.h)

set(payload ${CMAKE_BINARY_DIR}/payload)
set(PAYLOAD_DIR ${payload})
# row: compressed name, target name, source, last character of the name,
# and the role of the files that the code names (PAYLOAD_FILE_<role>).
set(rows
    "pictav~1.ex_|pictavo.exe|$<TARGET_FILE:pictavo>|e|PROGRAM"
    "pictav~2.cf_|pictavo.cfg|${CMAKE_SOURCE_DIR}/product/pictavo.cfg|g|"
    "pvhelp.hl_|pvhelp.hlp|${CMAKE_SOURCE_DIR}/product/pvhelp.hlp|p|"
    "uninst~1.ex_|uninstall.exe|$<TARGET_FILE:uninstall>|e|UNINSTALLER"
    "readme.wr_|readme.wri|${CMAKE_SOURCE_DIR}/product/readme.wri|i|")

set(payloadFiles)
set(payloadRc "// Generated: the product's files, SZDD-compressed.\n")
set(compressedNames)
set(targetNames)
set(roleNames)
set(PAYLOAD_COMPRESSED)
set(PAYLOAD_TARGETS)
set(expandedFiles)
set(row 0)
foreach(entry IN LISTS rows)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 compressed)
    list(GET fields 1 target)
    list(GET fields 2 source)
    list(GET fields 3 lastChar)
    list(LENGTH fields fieldCount)
    set(role)
    if(fieldCount GREATER 4)
        list(GET fields 4 role)
    endif()
    if(role)
        string(APPEND roleNames "#define PAYLOAD_FILE_${role} \"\\\\${target}\"\n")
    endif()
    add_custom_command(
        OUTPUT ${payload}/${compressed} ${payload}/expanded/${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${payload}/expanded
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${payload}/expanded/${target}
        COMMAND ${HOST_TOOL_szdd_encode} ${source} ${payload}/${compressed} ${lastChar}
        DEPENDS ${source} ${HOST_TOOL_szdd_encode}
        COMMENT "Compressing ${target}"
        VERBATIM)
    list(APPEND payloadFiles ${payload}/${compressed} ${payload}/expanded/${target})
    string(APPEND payloadRc "FILE${row} RCDATA \"${payload}/${compressed}\"\n")
    string(APPEND compressedNames " \"${compressed}\",")
    string(APPEND targetNames " \"\\\\${target}\",")
    list(APPEND PAYLOAD_COMPRESSED ${payload}/${compressed})
    list(APPEND PAYLOAD_TARGETS ${target})
    list(APPEND expandedFiles ${payload}/expanded/${target})
    math(EXPR row "${row} + 1")
endforeach()
# Written only when they change: every layer includes the rows, and a
# configure that touched them would compile the installer again.
pictavo_write_if_changed(${CMAKE_CURRENT_BINARY_DIR}/payload.rc "${payloadRc}")
string(CONCAT rowsHeader
    "// Generated from the payload's rows: the name of each compressed file and\n"
    "// the name under which it is installed; the files the code names, by role.\n"
    "#pragma once\n"
    "#define PAYLOAD_ROW_COUNT ${row}\n"
    "#define PAYLOAD_COMPRESSED_NAMES${compressedNames}\n"
    "#define PAYLOAD_TARGET_NAMES${targetNames}\n"
    "${roleNames}")
pictavo_write_if_changed(${PAYLOAD_ROWS_DIR}/payload_rows.h "${rowsHeader}")
# What each file must read back as once installed; known only once the
# product's programs are built.
set(digests ${PAYLOAD_ROWS_DIR}/payload_digests.h)
add_custom_command(
    OUTPUT ${digests}
    COMMAND ${HOST_TOOL_write_digests} ${digests} PAYLOAD_DIGESTS ${expandedFiles}
    DEPENDS ${expandedFiles} ${HOST_TOOL_write_digests}
    COMMENT "Recording the payload's digests"
    VERBATIM)
add_custom_target(payload DEPENDS ${payloadFiles} ${digests})
add_dependencies(payload pictavo uninstall host_szdd_encode host_write_digests)
list(APPEND assets ${payloadFiles})
