# Signs one linked program in place, Authenticode with SHA-256:
#   cmake -DFILE=... -DWAY=pem|pkcs12|command -DOSSLSIGNCODE=...
#         [-DCERT=... -DKEY=...] [-DPKCS12=...] [-DPASSWORD_FILE=...]
#         [-DTIMESTAMP_URL=...] [-DSIGN_COMMAND=program;argument...]
#         [-DSEAL_TOOL=seal_image] -P SignFile.cmake
# A copy is signed and put in place only once it carries a signature (and,
# with SEAL_TOOL, its seal still holds). On any failure the program itself
# is removed, so that no build after this one takes an unsigned or broken
# file for finished.
include(${CMAKE_CURRENT_LIST_DIR}/SettingChecks.cmake)
get_filename_component(name "${FILE}" NAME)
# A folder of its own for each file keeps its name, which a signing
# service may read, and keeps two programs signed at once apart.
set(work "${FILE}.signing")
set(copy "${work}/${name}")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")

function(fail why output)
    file(REMOVE_RECURSE "${work}")
    file(REMOVE "${FILE}")
    message(FATAL_ERROR "${output}\nSigning ${FILE}: ${why}. The file is removed; the next build links and signs it again.")
endfunction()

if(WAY STREQUAL "command")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E copy "${FILE}" "${copy}")
    execute_process(COMMAND ${SIGN_COMMAND} "${copy}" RESULT_VARIABLE status OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
else()
    set(arguments sign -h sha256)
    if(PASSWORD_FILE)
        # Read again here: the file may have changed since configuring.
        pictavo_password_file_fault(fault "${PASSWORD_FILE}")
        if(fault)
            fail("${fault}" "")
        endif()
    endif()
    if(WAY STREQUAL "pem")
        list(APPEND arguments -certs "${CERT}" -key "${KEY}")
    elseif(WAY STREQUAL "pkcs12")
        list(APPEND arguments -pkcs12 "${PKCS12}")
    else()
        fail("no way of signing named \"${WAY}\"" "")
    endif()
    # The password goes from its file to the tool; the build never holds it.
    if(PASSWORD_FILE)
        list(APPEND arguments -readpass "${PASSWORD_FILE}")
    endif()
    if(TIMESTAMP_URL)
        list(APPEND arguments -ts "${TIMESTAMP_URL}")
    endif()
    execute_process(COMMAND "${OSSLSIGNCODE}" ${arguments} -in "${FILE}" -out "${copy}"
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
endif()
if(NOT status EQUAL 0)
    fail("the signing tool failed (${status})" "${output}")
endif()
# A command that ends well but signs nothing is a failure too.
execute_process(COMMAND "${OSSLSIGNCODE}" extract-signature -in "${copy}" -out "${work}/signature.der"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    fail("the signed file carries no signature" "${output}")
endif()
if(SEAL_TOOL)
    execute_process(COMMAND "${SEAL_TOOL}" --check "${copy}" RESULT_VARIABLE status OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        fail("signing broke the seal or the PE checksum" "${output}")
    endif()
endif()
file(RENAME "${copy}" "${FILE}")
file(REMOVE_RECURSE "${work}")
