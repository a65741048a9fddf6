// A broken contract stops the fuzzer with the input that broke it; assert()
// would vanish under NDEBUG.
#pragma once
#include <stdio.h>
#include <stdlib.h>

#define CONTRACT(condition)                                                                  \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            fprintf(stderr, "%s:%d: contract broken: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                         \
        }                                                                                    \
    } while (0)
