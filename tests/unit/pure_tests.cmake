# The unit tests of the code that needs no window. Both the Wine build and
# the native build under the sanitizers (tests/native) compile this list.
set(PURE_UNIT_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/test_command_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_image_digest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_progress_steps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_szdd_header.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_typed_path.cpp)
