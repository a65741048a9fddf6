# Samples for the SZDD encoder: each written by a host tool, compressed by
# the project's encoder, and expanded again by the platform's LZ service in
# test_szdd.cpp.
add_host_tool(make_szdd_samples ${CMAKE_SOURCE_DIR}/tests/host/make_szdd_samples.cpp)
set(samples ${CMAKE_BINARY_DIR}/szdd-samples)
set(sampleSizes 0 1 15 16 17 4096 4113 3145735)
set(sampleFiles)
foreach(size IN LISTS sampleSizes)
    list(APPEND sampleFiles ${samples}/sample-${size}.bin)
endforeach()
set(encoded)
add_custom_command(
    OUTPUT ${sampleFiles}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${samples}
    COMMAND ${HOST_TOOL_make_szdd_samples} ${samples}
    DEPENDS ${HOST_TOOL_make_szdd_samples}
    COMMENT "Writing SZDD samples")
foreach(size IN LISTS sampleSizes)
    add_custom_command(
        OUTPUT ${samples}/sample-${size}.szdd
        COMMAND ${SZDD_ENCODER} ${samples}/sample-${size}.bin ${samples}/sample-${size}.szdd
        DEPENDS ${samples}/sample-${size}.bin ${SZDD_ENCODER} payload
        COMMENT "Compressing sample of ${size} bytes")
    list(APPEND encoded ${samples}/sample-${size}.szdd)
endforeach()
add_custom_target(szdd_samples DEPENDS ${encoded})
add_dependencies(szdd_samples payload host_make_szdd_samples)
add_dependencies(unit_tests szdd_samples)
set(SZDD_SAMPLES ${samples})
