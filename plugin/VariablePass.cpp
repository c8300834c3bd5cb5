#include "plugin/VariablePass.h"

#include "platform/win/VirtualClock.h"
#include "plugin/CommRecord.h"

void RunVariablePass(CommSendFunction) {
  gCommRecord.variablePassRan.store(1, std::memory_order_release);
  gCommRecord.lastPassTicks = GetTickCount();
}
