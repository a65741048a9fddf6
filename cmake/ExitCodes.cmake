# read_exit_codes(HEADER ENUM NAMES VALUES): the enumerators of one enum of
# base/exit_codes.h, in their order, as two lists of the same length. The
# package manifest and the check of the documents' tables read the codes
# here, so that no number is written twice.
function(read_exit_codes header enum namesOut valuesOut)
    file(READ ${header} text)
    string(REGEX MATCH "enum ${enum} {[^}]*}" block "${text}")
    if(NOT block)
        message(FATAL_ERROR "${header}: no enum ${enum}")
    endif()
    # Comments go first, so that a number in one is never taken for a code.
    string(REGEX REPLACE "//[^\n]*" "" block "${block}")
    string(REGEX MATCHALL "[A-Za-z]+ = [0-9]+" pairs "${block}")
    if(NOT pairs)
        message(FATAL_ERROR "${header}: no code in enum ${enum}")
    endif()
    set(names "")
    set(values "")
    foreach(pair IN LISTS pairs)
        string(REGEX REPLACE "([A-Za-z]+) = ([0-9]+)" "\\1;\\2" pair "${pair}")
        list(GET pair 0 name)
        list(GET pair 1 value)
        list(APPEND names ${name})
        list(APPEND values ${value})
    endforeach()
    set(${namesOut} "${names}" PARENT_SCOPE)
    set(${valuesOut} "${values}" PARENT_SCOPE)
endfunction()
