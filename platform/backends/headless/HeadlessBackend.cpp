#include "platform/backends/headless/HeadlessBackend.h"

namespace kel::backends {

std::unique_ptr<kel::win::Backend> CreateHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

} // namespace kel::backends
