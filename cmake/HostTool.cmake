# Host tools (asset generators, the SZDD encoder) run during the build, so
# they are compiled for the build machine, not with the cross toolchain.
find_program(HOST_CXX NAMES c++ g++ REQUIRED)

function(add_host_tool name)
    set(output ${CMAKE_BINARY_DIR}/host/${name})
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
        COMMAND ${HOST_CXX} -O2 -std=c++17 -Wall -Wextra -o ${output} ${ARGN}
        DEPENDS ${ARGN}
        COMMENT "Building host tool ${name}")
    set(HOST_TOOL_${name} ${output} PARENT_SCOPE)
endfunction()
