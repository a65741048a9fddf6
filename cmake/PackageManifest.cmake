# Writes the package manager's three manifest files (version, installer,
# default locale) for the sealed installer. Run as a script once the
# installer is linked, sealed and signed, or signed after the build, so
# that its SHA-256 is that of the file that ships:
#   cmake -DINSTALLER=... -DOUTPUT_DIR=... -DEXIT_CODES=base/exit_codes.h
#         -DFACTS=... -DURL_FILE=... -DARCHITECTURE=x86 [-DPICTAVO_VERSION=1.1.0]
#         -P PackageManifest.cmake
# FACTS is a file of "set(NAME value)" lines with the product's facts
# (cmake/ProductFacts.cmake, which keeps a PICTAVO_VERSION given here);
# URL_FILE holds the download address and nothing else. Every value is
# written as a quoted YAML scalar, and one with a control character stops
# the build: no setting can add a key or a line.
include(${CMAKE_CURRENT_LIST_DIR}/SettingChecks.cmake)
include(${FACTS})
# Whatever FACTS holds, the manifest states no version that the build could
# not have been given.
pictavo_version_parts("${PICTAVO_VERSION}" major minor patch)
file(READ "${URL_FILE}" url)
set(manifestVersion 1.10.0)

# What a package manager tells its user for each exit code. Every code of
# SetupExitCode (exit_codes.h) but success must have a line: a new code
# stops the build here until someone decides what it means to a package
# manager's user.
set(responses
    ExitBadArguments:invalidParameter
    # Mostly too little room; also a destination that may not be used.
    ExitDestinationUnusable:diskFull
    ExitPayloadFailed:contactSupport
    ExitShortcutsFailed:contactSupport
    ExitDamaged:contactSupport
    ExitNoWindow:contactSupport
    ExitFilesInUse:packageInUse
    ExitDowngrade:downgrade
    ExitInstallInProgress:installInProgress)

include(${CMAKE_CURRENT_LIST_DIR}/ExitCodes.cmake)
read_exit_codes(${EXIT_CODES} SetupExitCode names values)
set(returnCodes "")
foreach(name value IN ZIP_LISTS names values)
    if(value EQUAL 0)
        continue()
    endif()
    set(response "")
    foreach(row IN LISTS responses)
        if(row MATCHES "^${name}:(.+)$")
            set(response ${CMAKE_MATCH_1})
        endif()
    endforeach()
    if(NOT response)
        message(FATAL_ERROR "${EXIT_CODES}: ${name} (${value}) has no return response in the package manifest")
    endif()
    string(APPEND returnCodes "- InstallerReturnCode: ${value}\n  ReturnResponse: ${response}\n")
endforeach()
if(NOT returnCodes)
    message(FATAL_ERROR "no exit code found in ${EXIT_CODES}")
endif()

file(SHA256 "${INSTALLER}" sha256)
string(TOUPPER ${sha256} sha256)
foreach(fact PICTAVO_PACKAGE_ID PICTAVO_VERSION PICTAVO_UNINSTALL_KEY PICTAVO_PUBLISHER PICTAVO_LICENSE
             PICTAVO_DESCRIPTION)
    pictavo_yaml_quoted(${fact}_yaml ${fact} "${${fact}}")
endforeach()
pictavo_yaml_quoted(url PICTAVO_DOWNLOAD_URL "${url}")
pictavo_yaml_quoted(architecture ARCHITECTURE "${ARCHITECTURE}")
set(id ${PICTAVO_PACKAGE_ID})
set(common "PackageIdentifier: ${PICTAVO_PACKAGE_ID_yaml}\nPackageVersion: ${PICTAVO_VERSION_yaml}\n")
set(schema "# yaml-language-server: $schema=https://aka.ms/winget-manifest")
set(ending "ManifestVersion: ${manifestVersion}\n")

file(WRITE ${OUTPUT_DIR}/${id}.yaml "${schema}.version.${manifestVersion}.schema.json\n${common}"
    "DefaultLocale: en-US\nManifestType: version\n${ending}")
# /D= takes the rest of the line, so nothing may follow it: the manifest
# names no other switch that a package manager would add after it.
file(WRITE ${OUTPUT_DIR}/${id}.installer.yaml "${schema}.installer.${manifestVersion}.schema.json\n${common}"
    "InstallerType: exe\n"
    "Scope: machine\n"
    "InstallModes:\n- interactive\n- silent\n- silentWithProgress\n"
    "InstallerSwitches:\n  Silent: '/S'\n  SilentWithProgress: '/S'\n  InstallLocation: '/D=<INSTALLPATH>'\n"
    "ExpectedReturnCodes:\n${returnCodes}"
    "UpgradeBehavior: install\n"
    "ProductCode: ${PICTAVO_UNINSTALL_KEY_yaml}\n"
    "ElevationRequirement: elevationRequired\n"
    "Installers:\n- Architecture: ${architecture}\n  InstallerUrl: ${url}\n  InstallerSha256: '${sha256}'\n"
    "ManifestType: installer\n${ending}")
file(WRITE ${OUTPUT_DIR}/${id}.locale.en-US.yaml "${schema}.defaultLocale.${manifestVersion}.schema.json\n${common}"
    "PackageLocale: en-US\n"
    "Publisher: ${PICTAVO_PUBLISHER_yaml}\n"
    "PackageName: Pictavo\n"
    "License: ${PICTAVO_LICENSE_yaml}\n"
    "ShortDescription: ${PICTAVO_DESCRIPTION_yaml}\n"
    "ManifestType: defaultLocale\n${ending}")
