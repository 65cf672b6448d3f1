#pragma once

#include "app/Selections.h"
#include "app/Workers.h"
#include "link/TReceiverLink.h"

// The process-wide objects, each reached through its one accessor. They are built on first use
// and live until the process ends; the program entry wires them together.
namespace zentor {

// The receiver protocol object and the receiver state it holds.
TReceiverLink& receiverLink();

// The connection dialog's choices, written once by its OK.
Selections& selections();

// The handles of the running worker threads. Window thread only.
Workers& workers();

} // namespace zentor
