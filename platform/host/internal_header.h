// Included by every header of the simulated target that is not part of its
// outside-control API (platform/host/control/). The platform library and the
// host's own unit tests are compiled with VT_HOST_INTERNAL; tools, examples,
// benchmarks and end-to-end tests are not, so that reaching past the control
// API fails to build here instead of going unnoticed.
#pragma once

#ifndef VT_HOST_INTERNAL
#error "internal header of the simulated target: include platform/host/control/ headers instead"
#endif
