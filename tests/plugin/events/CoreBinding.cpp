#include "core/HostEnvironment.h"

namespace eventstest {

void BindCoreProjectManager(IQendProjectManager* manager) { SetHostProjectManager(manager); }

}  // namespace eventstest
