// The x11 backend: real windows on an X display. The only place that includes Xlib.
#pragma once

#include "platform/win/Backend.h"

namespace kel::backends {

// NULL when no display can be opened.
std::unique_ptr<kel::win::Backend> CreateX11Backend();

} // namespace kel::backends

// TRUE: the program carries the x11 backend, registered under "x11". A program linking the
// static pieces calls it so that the backend is linked in.
BOOL KelX11BackendAvailable();
