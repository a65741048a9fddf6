# pictavo_sign(TARGET [SEALED]): signs TARGET's file once it is linked (and
# sealed: SEALED checks that the seal still holds afterwards), with the key
# that cmake/Settings.cmake took. Nothing when the build is unsigned.
# Linked again, and so signed again, when the key or any signing setting
# changes, and linked unsigned when signing is turned off.
set(PICTAVO_SIGNING_STAMP ${CMAKE_BINARY_DIR}/signing-settings.txt)
if(NOT PICTAVO_SIGNING)
    pictavo_write_if_changed(${PICTAVO_SIGNING_STAMP} "unsigned\n")
else()
    # Each value goes to the script as one argument; a list separator
    # would make two of it.
    foreach(setting PICTAVO_SIGNING_CERT PICTAVO_SIGNING_KEY PICTAVO_SIGNING_PKCS12 PICTAVO_SIGNING_PASSWORD_FILE
                    PICTAVO_SIGN_COMMAND PICTAVO_TIMESTAMP_URL)
        if("${${setting}}" MATCHES ";")
            message(FATAL_ERROR "${setting} holds a ';', which the build cannot pass on whole: refused")
        endif()
    endforeach()
    pictavo_write_if_changed(${PICTAVO_SIGNING_STAMP} "${PICTAVO_SIGNING}\n${PICTAVO_SIGNING_CERT}\n\
${PICTAVO_SIGNING_KEY}\n${PICTAVO_SIGNING_PKCS12}\n${PICTAVO_SIGNING_PASSWORD_FILE}\n${PICTAVO_SIGN_COMMAND}\n\
${PICTAVO_TIMESTAMP_URL}\n")
endif()

function(pictavo_sign target)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PICTAVO_SIGNING_STAMP})
    if(NOT PICTAVO_SIGNING)
        return()
    endif()
    set(sealCheck)
    if(ARGN STREQUAL "SEALED")
        set(sealCheck "-DSEAL_TOOL=${HOST_TOOL_seal_image}")
    endif()
    # The empty ones of these vanish unquoted.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PICTAVO_SIGNING_CERT} ${PICTAVO_SIGNING_KEY}
                 ${PICTAVO_SIGNING_PKCS12} ${CMAKE_SOURCE_DIR}/cmake/SignFile.cmake)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} "-DFILE=$<TARGET_FILE:${target}>" "-DWAY=${PICTAVO_SIGNING}"
                "-DOSSLSIGNCODE=${PICTAVO_OSSLSIGNCODE}" "-DCERT=${PICTAVO_SIGNING_CERT}"
                "-DKEY=${PICTAVO_SIGNING_KEY}" "-DPKCS12=${PICTAVO_SIGNING_PKCS12}"
                "-DPASSWORD_FILE=${PICTAVO_SIGNING_PASSWORD_FILE}" "-DTIMESTAMP_URL=${PICTAVO_TIMESTAMP_URL}"
                "-DSIGN_COMMAND=${PICTAVO_SIGN_ARGUMENTS}" ${sealCheck} -P ${CMAKE_SOURCE_DIR}/cmake/SignFile.cmake
        COMMENT "Signing ${target}"
        VERBATIM)
endfunction()
