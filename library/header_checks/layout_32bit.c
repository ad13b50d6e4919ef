/* The public header compiled as C for the 32-bit target: its checks of the
 * parameter blocks' offsets and of the features record run here, so that a
 * change that breaks the target's layout fails the build. */
#include "rlx4100.h"

#if UINTPTR_MAX != 0xFFFFFFFFu
#error "compile this check for a 32-bit target (-m32)"
#endif
