// The public header compiled as C++ for the 32-bit target: the layout checks
// run as in the C build, and including the platform's own types after it
// checks that the two define the basic types alike.
#include "rlx4100.h"

#include "platform/types.h"

#if UINTPTR_MAX != 0xFFFFFFFFu
#error "compile this check for a 32-bit target (-m32)"
#endif
