# The product's version and publisher, stated once. Every version resource
# (Setup's, pictavo.exe's, uninstall.exe's), the Uninstall entry that Setup
# writes and the package manifest take them from here, so the system's list
# of programs, the files' properties and a package manager never disagree.
# Included by the configure step and, in script mode, by the manifest's
# script, which is given the version that the build was configured with:
# a version already set is never overwritten here.
include(${CMAKE_CURRENT_LIST_DIR}/SettingChecks.cmake)

set(PICTAVO_DEFAULT_VERSION 1.0.0)
if(CMAKE_SCRIPT_MODE_FILE)
    if(NOT DEFINED PICTAVO_VERSION)
        set(PICTAVO_VERSION ${PICTAVO_DEFAULT_VERSION})
    endif()
else()
    # A cache entry that exists, from -D or an earlier run, stays as it is.
    set(PICTAVO_VERSION ${PICTAVO_DEFAULT_VERSION} CACHE STRING
        "the product's version: three decimal numbers of at most 65535 each, e.g. 1.1.0")
endif()
pictavo_version_parts("${PICTAVO_VERSION}" PICTAVO_VERSION_MAJOR PICTAVO_VERSION_MINOR PICTAVO_VERSION_PATCH)

set(PICTAVO_PUBLISHER "The Pictavo authors")
# The Uninstall entry's key name, which a package manager takes for the
# product code that finds the installation again.
set(PICTAVO_UNINSTALL_KEY "Pictavo")
set(PICTAVO_PACKAGE_ID "Pictavo.Pictavo")
set(PICTAVO_LICENSE "Freeware")
set(PICTAVO_DESCRIPTION "A small freehand drawing program.")
