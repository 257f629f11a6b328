// The signals that ask the program to end (SIGTERM, SIGINT, SIGHUP), turned into a
// descriptor an event loop waits on, so that they are handled as input, not in a handler.
#pragma once

// Installs the handlers (once); afterwards each of the three signals makes the descriptor
// readable and is kept for TakeEndSignal. Returns false when the pipe cannot be made.
bool WatchEndSignals();
// The descriptor that becomes readable when a signal came; -1 before WatchEndSignals.
int EndSignalDescriptor();
// The signal that came since the last call, 0 when none did. Never blocks.
int TakeEndSignal();
