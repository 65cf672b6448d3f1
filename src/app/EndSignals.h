#pragma once

// SIGINT (Ctrl+C), SIGTERM and SIGHUP as a request to end the run cleanly: the handler only records
// the request; the window thread polls it and ends the program the ordinary way, so the log file
// is closed and the workers end.
namespace zentor {

// Installs the handler for the signals. Call once, on the window thread, before the run.
void catchEndSignals();

// True once one of the signals has arrived. Any thread.
bool endSignalled();

} // namespace zentor
