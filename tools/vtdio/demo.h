// demo: the whole chain in a few seconds on a target whose boards have
// their outputs wired back to their inputs.
#pragma once

#include "tools/vtdio/context.h"

namespace vtdio {

// Expects the target booted with loopback wiring on every board.
int Demo(Context& context);

}  // namespace vtdio
