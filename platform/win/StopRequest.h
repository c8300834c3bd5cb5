#pragma once
// A stop asked of the running program from outside (SIGINT, SIGTERM): the
// program's handler records the signal, and long runs (a compile) look at it
// between their steps and end early, cleaning up as after any failure.

// Records the signal that asks for the stop; safe inside a signal handler.
void RequestStop(int signal) noexcept;

// The signal that asked for a stop; 0 while none did.
int StopRequestSignal() noexcept;

// Forgets a recorded stop (a new run starts).
void ClearStopRequest() noexcept;
