# The product's version and publisher, stated once. Every version resource
# (Setup's, pictavo.exe's, uninstall.exe's), the Uninstall entry that Setup
# writes and the package manifest take them from here, so the system's list
# of programs, the files' properties and a package manager never disagree.
# Plain settings only: the manifest's script includes this file as well.
set(PICTAVO_VERSION_MAJOR 1)
set(PICTAVO_VERSION_MINOR 0)
set(PICTAVO_VERSION_PATCH 0)
set(PICTAVO_PUBLISHER "The Pictavo authors")
# The Uninstall entry's key name, which a package manager takes for the
# product code that finds the installation again.
set(PICTAVO_UNINSTALL_KEY "Pictavo")
set(PICTAVO_PACKAGE_ID "Pictavo.Pictavo")
set(PICTAVO_LICENSE "Freeware")
set(PICTAVO_DESCRIPTION "A small freehand drawing program.")
set(PICTAVO_VERSION "${PICTAVO_VERSION_MAJOR}.${PICTAVO_VERSION_MINOR}.${PICTAVO_VERSION_PATCH}")
