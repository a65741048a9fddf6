# The product's version and publisher, stated once. Every version resource
# (Setup's, pictavo.exe's, uninstall.exe's), the Uninstall entry that Setup
# writes and the package manifest take them from here, so the system's list
# of programs, the files' properties and a package manager never disagree.
set(PICTAVO_VERSION_MAJOR 1)
set(PICTAVO_VERSION_MINOR 0)
set(PICTAVO_VERSION_PATCH 0)
set(PICTAVO_PUBLISHER "The Pictavo authors")
set(PICTAVO_VERSION "${PICTAVO_VERSION_MAJOR}.${PICTAVO_VERSION_MINOR}.${PICTAVO_VERSION_PATCH}")

set(PRODUCT_FACTS_DIR ${CMAKE_BINARY_DIR}/layers/product-facts)
configure_file(${CMAKE_CURRENT_LIST_DIR}/product_facts.h.in ${PRODUCT_FACTS_DIR}/product_facts.h @ONLY)
