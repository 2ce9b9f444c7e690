// One window of the program per user session: a second start while the program runs would
// download the same installer to the same file beside the first.
#pragma once

#include <windows.h>

namespace modMain {

// True when this process is the first of the session, which it then stays until it ends.
// Otherwise the running program's window has been brought to the front, and this start is
// to end without a window of its own. Nothing is done to the running program beyond that.
bool FirstInSession();

// Lets the first start's main window answer a second start: it comes to the front itself (a
// program in the background may not take the front on its own; the second start, which the
// user has just made, lends it the right).
void AnswerSecondStarts(HWND window);

}  // namespace modMain
