// The header of an SZDD file, the LZ service's compressed format.
#pragma once
#include <stddef.h>
#include <stdint.h>

// The expanded length that an SZDD file announces in its header. False when
// the data is not an SZDD file of mode A: the LZ service would copy such
// data through unchanged and report success.
bool ReadExpandedLength(const void* data, size_t size, uint32_t* length);
