# The exit-code tables of the documents against base/exit_codes.h, so that a
# table cannot tell a script a code that the programs do not exit with:
#   cmake -DHEADER=base/exit_codes.h -DSOURCE_DIR=. -P check_exit_code_tables.cmake
# reads README.md and every docs/*.md of SOURCE_DIR.
# A table is marked by the name of its enum in base/exit_codes.h:
#   <!-- exit codes: SetupExitCode -->
#   | Exit code | ... |
#   |---|---|
#   | 0 | ... |
#   <!-- end of exit codes -->
# The first cells that are numbers must be the enum's codes, each once, in
# increasing order. Each enum needs a table in one of the documents.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ExitCodes.cmake)
set(enums SetupExitCode UninstallExitCode)
set(faults "")
foreach(enum IN LISTS enums)
    read_exit_codes(${HEADER} ${enum} names values)
    list(REMOVE_DUPLICATES values)
    list(SORT values COMPARE NATURAL)
    set(expected_${enum} "${values}")
    set(found_${enum} 0)
endforeach()

file(GLOB documents ${SOURCE_DIR}/README.md ${SOURCE_DIR}/docs/*.md)
foreach(document IN LISTS documents)
    file(READ ${document} text)
    # One list item a line: a semicolon in the text would split a line.
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(inside "")
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(line MATCHES "^<!-- exit codes: ([A-Za-z]+) -->")
            set(inside ${CMAKE_MATCH_1})
            set(start ${number})
            set(codes "")
            if(NOT DEFINED expected_${inside})
                list(APPEND faults "${document}:${number}: no enum ${inside} in ${HEADER}")
                set(inside "")
            endif()
        elseif(line MATCHES "^<!-- end of exit codes -->" AND inside)
            if(NOT codes STREQUAL expected_${inside})
                list(JOIN codes ", " listed)
                list(JOIN expected_${inside} ", " expected)
                list(APPEND faults "${document}:${start}: the table of ${inside} lists the codes ${listed}, the source has ${expected}")
            endif()
            math(EXPR found_${inside} "${found_${inside}} + 1")
            set(inside "")
        elseif(inside AND line MATCHES "^\\| *([0-9]+) *\\|")
            list(APPEND codes ${CMAKE_MATCH_1})
        endif()
    endforeach()
    if(inside)
        list(APPEND faults "${document}:${start}: the table of ${inside} has no end marker")
    endif()
endforeach()

foreach(enum IN LISTS enums)
    if(found_${enum} EQUAL 0)
        list(APPEND faults "no document has a marked table of ${enum}")
    endif()
endforeach()
if(faults)
    string(REPLACE ";" "\n" faults "${faults}")
    message(FATAL_ERROR "${faults}")
endif()
message(STATUS "The exit-code tables match ${HEADER}")
