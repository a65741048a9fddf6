# Host tools (asset generators, the SZDD encoder) run during the build, so
# they are compiled for the build machine, not with the cross toolchain.
find_program(HOST_CXX NAMES c++ g++ REQUIRED)

# Defines the rule that builds the tool once, in the first folder that asks
# for it, owned by the target host_NAME; sets HOST_TOOL_NAME to its path.
# A make rule that two targets both carry runs twice at once under -j, and
# the second run overwrites the tool while the first one's users execute
# it. So a command that runs the tool depends on its file (to run again when
# the tool changes) and its target adds a dependency on host_NAME; a folder
# other than the first depends on host_NAME alone.
function(add_host_tool name)
    set(output ${CMAKE_BINARY_DIR}/host/${name})
    set(HOST_TOOL_${name} ${output} PARENT_SCOPE)
    if(TARGET host_${name})
        return()
    endif()
    # The tools share small headers of their own folder. Some share the
    # installer's own pure code too, reached as "base/name.h": its headers
    # come among the arguments, so that the tool is built again when they
    # change, and only its sources are compiled.
    file(GLOB headers ${CMAKE_SOURCE_DIR}/tools/*.h)
    set(sources ${ARGN})
    list(FILTER sources EXCLUDE REGEX "\\.h$")
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
        COMMAND ${HOST_CXX} -O2 -std=c++17 -Wall -Wextra -I${CMAKE_SOURCE_DIR} -o ${output} ${sources}
        DEPENDS ${ARGN} ${headers}
        COMMENT "Building host tool ${name}"
        VERBATIM)
    add_custom_target(host_${name} DEPENDS ${output})
endfunction()
