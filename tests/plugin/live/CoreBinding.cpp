// The core services' project manager, bound in a file of its own: the core's
// accessor shares its name with the simulated host's class.

#include "core/HostEnvironment.h"
#include "tests/plugin/live/PlcLink.h"

namespace livetest {

void BindCoreProjectManager(IQendProjectManager* manager) { SetHostProjectManager(manager); }

}  // namespace livetest
