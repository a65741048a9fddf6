# The settings by which a publisher makes a release: where it is
# downloaded from, and the key it is signed with (docs/signing.md). Read
# before any compiler is probed, so that a refused one costs nothing.
# Every value travels as data from here on: in files that the build steps
# read, or as single arguments of commands that no shell parses.
include(${CMAKE_CURRENT_LIST_DIR}/SettingChecks.cmake)

set(PICTAVO_PLACEHOLDER_URL "https://example.com/pictavo/pictavo-setup.exe")
set(PICTAVO_DOWNLOAD_URL "${PICTAVO_PLACEHOLDER_URL}" CACHE STRING
    "the installer's download address in the package manifest (a placeholder: none exists yet)")
option(PICTAVO_RELEASE "A release: the placeholder download address is refused" OFF)
pictavo_refuse_control_characters(PICTAVO_DOWNLOAD_URL "${PICTAVO_DOWNLOAD_URL}")
# The package manager's schema takes nothing else.
if(NOT PICTAVO_DOWNLOAD_URL MATCHES "^[Hh][Tt][Tt][Pp][Ss]?://.")
    message(FATAL_ERROR "PICTAVO_DOWNLOAD_URL must be an http or https address: \"${PICTAVO_DOWNLOAD_URL}\"")
endif()
if(PICTAVO_RELEASE AND PICTAVO_DOWNLOAD_URL STREQUAL PICTAVO_PLACEHOLDER_URL)
    message(FATAL_ERROR "PICTAVO_RELEASE is on, but PICTAVO_DOWNLOAD_URL is still the placeholder "
                        "${PICTAVO_PLACEHOLDER_URL}: give the address the installer is downloaded from")
endif()

# Three ways to a key, one at a time: PEM files; a PKCS#12 file whose
# password lies in a file of its own; or a command of the publisher's own
# for a key in hardware or in a signing service. Only paths are kept in the
# cache: a password is read by the signing tool from its file.
set(PICTAVO_SIGNING_CERT "" CACHE FILEPATH "PEM certificate (chain) to sign with, beside PICTAVO_SIGNING_KEY")
set(PICTAVO_SIGNING_KEY "" CACHE FILEPATH "PEM private key to sign with, beside PICTAVO_SIGNING_CERT")
set(PICTAVO_SIGNING_PKCS12 "" CACHE FILEPATH "PKCS#12 file of the key and certificate to sign with")
set(PICTAVO_SIGNING_PASSWORD_FILE "" CACHE FILEPATH
    "file, its owner's alone, that holds the password of the PKCS#12 file or PEM key and nothing else")
set(PICTAVO_SIGN_COMMAND "" CACHE STRING
    "command that signs, in place, the file whose path the build adds as its last argument")
set(PICTAVO_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping service for the signatures (optional)")

# Given or not, by whether a value is empty: a path or a command that reads
# as false to if() (N, off, ...) is still given.
foreach(setting CERT KEY PKCS12 PASSWORD_FILE)
    string(COMPARE NOTEQUAL "${PICTAVO_SIGNING_${setting}}" "" given_${setting})
endforeach()
string(COMPARE NOTEQUAL "${PICTAVO_SIGN_COMMAND}" "" given_COMMAND)
string(COMPARE NOTEQUAL "${PICTAVO_TIMESTAMP_URL}" "" given_TIMESTAMP)

set(PICTAVO_SIGNING "")
if(given_CERT OR given_KEY)
    if(NOT given_CERT OR NOT given_KEY)
        message(FATAL_ERROR "PICTAVO_SIGNING_CERT and PICTAVO_SIGNING_KEY go together")
    endif()
    list(APPEND PICTAVO_SIGNING pem)
endif()
if(given_PKCS12)
    if(NOT given_PASSWORD_FILE)
        message(FATAL_ERROR "PICTAVO_SIGNING_PKCS12 needs PICTAVO_SIGNING_PASSWORD_FILE, the file of its password")
    endif()
    list(APPEND PICTAVO_SIGNING pkcs12)
endif()
if(given_COMMAND)
    list(APPEND PICTAVO_SIGNING command)
endif()
list(LENGTH PICTAVO_SIGNING ways)
if(ways GREATER 1)
    message(FATAL_ERROR "Signing settings of more than one kind (${PICTAVO_SIGNING}): give one")
endif()

# A publisher's command stamps the time, if at all, as its service does.
if(PICTAVO_SIGNING STREQUAL "command" AND (given_TIMESTAMP OR given_PASSWORD_FILE))
    message(FATAL_ERROR "PICTAVO_TIMESTAMP_URL and PICTAVO_SIGNING_PASSWORD_FILE are for the PEM and PKCS#12 "
                        "keys: PICTAVO_SIGN_COMMAND stamps and unlocks as its own service does")
endif()
if(NOT PICTAVO_SIGNING)
    if(given_TIMESTAMP OR given_PASSWORD_FILE)
        message(FATAL_ERROR "PICTAVO_TIMESTAMP_URL and PICTAVO_SIGNING_PASSWORD_FILE need a key to sign with")
    endif()
    message(STATUS "Unsigned build: no signing setting given (docs/signing.md)")
    return()
endif()

foreach(file PICTAVO_SIGNING_CERT PICTAVO_SIGNING_KEY PICTAVO_SIGNING_PKCS12 PICTAVO_SIGNING_PASSWORD_FILE)
    if(NOT "${${file}}" STREQUAL "")
        get_filename_component(${file} "${${file}}" ABSOLUTE)
        if(NOT EXISTS "${${file}}" OR IS_DIRECTORY "${${file}}")
            message(FATAL_ERROR "${file}: no such file: ${${file}}")
        endif()
        pictavo_refuse_control_characters(${file} "${${file}}")
    endif()
endforeach()
if(given_PASSWORD_FILE)
    pictavo_password_file_fault(fault "${PICTAVO_SIGNING_PASSWORD_FILE}")
    if(fault)
        message(FATAL_ERROR "${fault}")
    endif()
endif()
pictavo_refuse_control_characters(PICTAVO_TIMESTAMP_URL "${PICTAVO_TIMESTAMP_URL}")
pictavo_refuse_control_characters(PICTAVO_SIGN_COMMAND "${PICTAVO_SIGN_COMMAND}")
# Split as a shell would split its words, quotes and all, but by CMake:
# nothing in it is expanded or run until the build runs the command itself.
separate_arguments(PICTAVO_SIGN_ARGUMENTS UNIX_COMMAND "${PICTAVO_SIGN_COMMAND}")
find_program(PICTAVO_OSSLSIGNCODE osslsigncode)
if(NOT PICTAVO_OSSLSIGNCODE)
    message(FATAL_ERROR "A signed build needs osslsigncode (Debian package osslsigncode; tools/setup-host.sh)")
endif()
if(PICTAVO_SIGNING STREQUAL "pem")
    message(STATUS "Signed build: the three programs are signed with PEM files")
elseif(PICTAVO_SIGNING STREQUAL "pkcs12")
    message(STATUS "Signed build: the three programs are signed with a PKCS#12 file")
else()
    message(STATUS "Signed build: the three programs are signed by PICTAVO_SIGN_COMMAND")
endif()
