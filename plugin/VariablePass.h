#pragma once
// The live view's variable pass, made by the communication-loop callback at
// most every 200 ms while no upload runs: writes the changed values of the
// live-view entries and, with the host switch "/WEBOLDCOMM", reads the
// readable ones, then tells the designer.

#include "hostapi/CommLoop.h"

void RunVariablePass(CommSendFunction send);
