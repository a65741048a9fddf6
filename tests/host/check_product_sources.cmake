# The programs that Setup installs stay readable in the shape the installer
# has: no source file under product/ longer than 400 lines, and no header
# there that exports a mutable global (an extern that is not const), since a
# run's state travels with the run and a window's with its window:
#   cmake -DPRODUCT_DIR=product -P check_product_sources.cmake
set(longest 400)
file(GLOB_RECURSE sources ${PRODUCT_DIR}/*.cpp ${PRODUCT_DIR}/*.h ${PRODUCT_DIR}/*.rc)
set(faults "")
foreach(source IN LISTS sources)
    file(STRINGS ${source} lines)
    # STRINGS skips empty lines: count the line ends instead.
    file(READ ${source} text)
    string(REGEX MATCHALL "\n" ends "${text}")
    list(LENGTH ends count)
    if(count GREATER longest)
        list(APPEND faults "${source}: ${count} lines, more than ${longest}")
    endif()
    if(source MATCHES "\\.h$")
        foreach(line IN LISTS lines)
            # A pointer to const text is mutable itself unless it is "* const".
            string(REGEX REPLACE "\\*[ \t]*const[ \t]" " " pointers "${line}")
            if(line MATCHES "^[ \t]*extern " AND
               (NOT line MATCHES "^[ \t]*extern[ \t]+(const|constexpr)[ \t]" OR pointers MATCHES "\\*"))
                list(APPEND faults "${source}: a mutable global: ${line}")
            endif()
        endforeach()
    endif()
endforeach()
if(NOT sources)
    list(APPEND faults "no source found under ${PRODUCT_DIR}")
endif()
if(faults)
    string(REPLACE ";" "\n" faults "${faults}")
    message(FATAL_ERROR "${faults}")
endif()
list(LENGTH sources checked)
message(STATUS "${checked} files under ${PRODUCT_DIR}: none longer than ${longest} lines, no mutable global exported")
