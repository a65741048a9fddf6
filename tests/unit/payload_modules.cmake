# Test modules: DLLs that carry their own FILE0 to FILE4, so that the row
# loop can meet a complete payload and damaged ones. Loaded as data files.
set(payload ${PAYLOAD_DIR})
foreach(row 0 1 2 3 4)
    list(GET PAYLOAD_COMPRESSED ${row} f${row})
endforeach()
list(GET PAYLOAD_TARGETS 1 t1)
set(damaged ${CMAKE_CURRENT_BINARY_DIR}/damaged)
# The byte written over the one at offset 15, from a file: no shell.
set(colon ${CMAKE_CURRENT_BINARY_DIR}/colon.txt)
pictavo_write_if_changed(${colon} ":")
# flipped.cf_ has one bit changed in its first byte, a literal ';' that
# becomes ':': a stream of the right length that expands to other bytes.
add_custom_command(
    OUTPUT ${damaged}/truncated.cf_ ${damaged}/plain.cfg ${damaged}/empty ${damaged}/flipped.cf_
    COMMAND ${CMAKE_COMMAND} -E make_directory ${damaged}
    COMMAND dd if=${f1} of=${damaged}/truncated.cf_ bs=200 count=1 status=none
    COMMAND ${CMAKE_COMMAND} -E copy ${f1} ${damaged}/flipped.cf_
    COMMAND dd if=${colon} of=${damaged}/flipped.cf_ bs=1 seek=15 count=1 conv=notrunc status=none
    COMMAND ${CMAKE_COMMAND} -E copy ${payload}/expanded/${t1} ${damaged}/plain.cfg
    COMMAND ${CMAKE_COMMAND} -E touch ${damaged}/empty
    DEPENDS payload ${f1} ${colon}
    COMMENT "Damaging test payloads"
    VERBATIM)
add_custom_target(damaged_payloads DEPENDS ${damaged}/truncated.cf_ ${damaged}/plain.cfg ${damaged}/empty
                  ${damaged}/flipped.cf_)

function(add_payload_module name)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
    file(WRITE ${source} "")
    set(files ${ARGN})
    list(REMOVE_ITEM files -)
    foreach(row RANGE 4)
        list(GET ARGN ${row} file)
        if(NOT file STREQUAL "-")
            file(APPEND ${source} "FILE${row} RCDATA \"${file}\"\n")
        endif()
    endforeach()
    add_library(${name} MODULE module.c ${source})
    set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_source_files_properties(${source} PROPERTIES OBJECT_DEPENDS "${files}")
    add_dependencies(${name} payload damaged_payloads)
    add_dependencies(unit_tests ${name})
endfunction()

add_payload_module(payload_complete ${f0} ${f1} ${f2} ${f3} ${f4})
add_payload_module(payload_without_file2 ${f0} ${f1} - ${f3} ${f4})
add_payload_module(payload_truncated ${f0} ${damaged}/truncated.cf_ ${f2} ${f3} ${f4})
add_payload_module(payload_plain ${f0} ${damaged}/plain.cfg ${f2} ${f3} ${f4})
add_payload_module(payload_empty ${f0} ${damaged}/empty ${f2} ${f3} ${f4})
add_payload_module(payload_flipped ${f0} ${damaged}/flipped.cf_ ${f2} ${f3} ${f4})
# The last row carries another row's file: it expands whole, and only its
# read-back tells it from the readme, after every other file is staged.
add_payload_module(payload_last_other ${f0} ${f1} ${f2} ${f3} ${f1})
