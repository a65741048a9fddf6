# The same sources built for 64-bit Windows. Used to run the tests on hosts
# that cannot execute 32-bit x86 code at all, where wine32 cannot start.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
