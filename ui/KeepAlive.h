// A thread that works for a long while (a comparison, a build, a wait for
// the writer lock) still looks at its queue now and then: Windows takes a
// window for hung ("Not responding") when its thread has not done so for
// 5 s. Looking without removing anything dispatches no input, so no click or
// key of the operator's starts anything; only what other programs and
// threads send is answered.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

// Looks at the thread's queue once, answering what was sent to its windows.
void KeepAlive();

// How often a long run looks at the queue: often enough that other programs
// get their answers at once to a person's eye, seldom enough to cost nothing
// beside the file work.
constexpr std::chrono::milliseconds kKeepAliveInterval{100};

// A hook for each step of a long run (an entry built, a file read) that
// looks at the queue at most once every kKeepAliveInterval.
std::function<void(int)> KeepAliveAtPace();

// True inside KeepAlive: a message that arrives then was sent by another
// program or thread in the middle of a long step.
bool InsideKeepAlive();

// A message that asks a window to do something for the operator (a command,
// a click or Enter in the list, a click on its header, a system command).
// The windows ignore them inside KeepAlive, and the main window during a
// whole comparison.
bool IsOperatorRequest(UINT message, WPARAM wParam, LPARAM lParam);

// The hook of the writer lock's wait: keeps the thread alive and the wait
// cursor shown (answering a message may have set another one).
void KeepAliveWithWaitCursor();
