#pragma once
// What the library does when it is loaded, and when the host hands it its
// command line.

// Process attach: the module with its object map, the start-up values from
// the host executable's path (no switches yet), the English UI texts, the
// core services' hooks to the host's status messages, and the page-object
// layer's hooks (variable lookup, "/LINVAR").
void TarnwellProcessAttach();
// Process detach.
void TarnwellProcessDetach();
// The host's argument list (argument 0: the host program): the start-up
// values and switches are read again from it ("/LINVAR" reaches the
// page-object reader).
void TarnwellReadHostCommandLine(int argc, const char* const* argv);
