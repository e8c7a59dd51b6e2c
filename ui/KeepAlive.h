// A thread that waits for a long while (for the writer lock, before a write
// that the operator asked for) still looks at its queue now and then:
// Windows takes a window for hung ("Not responding") when its thread has not
// done so for 5 s. Looking without removing anything dispatches no input, so
// no click or key of the operator's starts anything; only what other
// programs and threads send is answered, and the windows' message maps drop
// the operator's requests among it (CDialog::Busy, WhileBusy::Ignore).
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

// Looks at the thread's queue once, answering what was sent to its windows.
void KeepAlive();

// True inside KeepAlive: a message that arrives then was sent by another
// program or thread in the middle of a long step.
bool InsideKeepAlive();

// The hook of the writer lock's wait: keeps the thread alive and the wait
// cursor shown (answering a message may have set another one).
void KeepAliveWithWaitCursor();
