# The installer's layers, from the bottom: base, installed, plan, install,
# run, pages, app. Each
# is a static library that links only the layers below it and sees only
# their headers. A layer's headers are reached as "layer/name.h" through an
# include folder of its own that holds that layer alone, so an include that
# runs upwards finds no file and does not build.
set(setupLayers base installed plan install run pages app)
foreach(layer ${setupLayers} resources)
    set(root ${CMAKE_BINARY_DIR}/layers/${layer})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${layer} ${root}/${layer} SYMBOLIC)
endforeach()

# The payload's table, generated from its one list of rows.
set(PAYLOAD_ROWS_DIR ${CMAKE_BINARY_DIR}/layers/payload-rows)
file(MAKE_DIRECTORY ${PAYLOAD_ROWS_DIR})

# The resource ids, which the pages, the application and the resource
# script share.
add_library(setup_resource_ids INTERFACE)
target_include_directories(setup_resource_ids INTERFACE ${CMAKE_BINARY_DIR}/layers/resources)

# add_setup_layers(PREFIX): the layers' sources, built once as the
# libraries PREFIX_base ... PREFIX_app.
function(add_setup_layers prefix)
    set(below)
    foreach(layer ${setupLayers})
        set(library ${prefix}_${layer})
        add_library(${library} STATIC ${SETUP_SOURCES_${layer}})
        target_include_directories(${library} PUBLIC ${CMAKE_BINARY_DIR}/layers/${layer})
        # One thread: function-local statics need no locks, and the locks
        # would pull the C++ runtime and its thread library into the installer.
        target_compile_options(${library} PRIVATE -fno-exceptions -fno-rtti -fno-threadsafe-statics
                               -fno-asynchronous-unwind-tables -ffunction-sections)
        target_link_libraries(${library} PUBLIC ${below})
        set(below ${library})
    endforeach()
    target_link_libraries(${prefix}_base PUBLIC user32 gdi32 uuid advapi32)
    # The product's file names (base/product.h) come from the payload's rows.
    target_include_directories(${prefix}_base PUBLIC ${PAYLOAD_ROWS_DIR} ${PRODUCT_FACTS_DIR})
    target_link_libraries(${prefix}_pages PUBLIC setup_resource_ids)
    add_dependencies(${prefix}_install payload)
endfunction()

# add_installer(TARGET PREFIX PAUSE): the installer TARGET from the layers'
# libraries, with PAUSE as the one source that defines PauseBeforeExpanding
# (run/install_run.h): app/no_pause.cpp for Setup itself; the test build
# that waits inside each file links its own, and nothing else differs.
function(add_installer target prefix pause)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/setup.rc PROPERTIES OBJECT_DEPENDS "${SETUP_ASSETS}")
    add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/app/winmain.cpp ${pause} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fno-threadsafe-statics
                           -fno-asynchronous-unwind-tables -ffunction-sections)
    target_link_libraries(${target} PRIVATE ${prefix}_app setup_resources -s -Wl,--gc-sections)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

    # Once linked, the image gets the digest that it checks at start-up
    # (base/image_digest.h) and a PE checksum to match. Linked again when
    # the sealing tool changes, so that no image keeps an old seal.
    add_host_tool(seal_image ${CMAKE_SOURCE_DIR}/tools/seal_image.cpp ${CMAKE_SOURCE_DIR}/base/image_digest.cpp
                  ${CMAKE_SOURCE_DIR}/base/crc32.cpp ${CMAKE_SOURCE_DIR}/base/image_digest.h
                  ${CMAKE_SOURCE_DIR}/base/crc32.h)
    add_dependencies(${target} host_seal_image)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${HOST_TOOL_seal_image})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${HOST_TOOL_seal_image} $<TARGET_FILE:${target}>
        COMMENT "Sealing ${target}"
        VERBATIM)
    set(HOST_TOOL_seal_image ${HOST_TOOL_seal_image} PARENT_SCOPE)
endfunction()
