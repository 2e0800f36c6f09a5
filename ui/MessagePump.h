#pragma once

// Dispatches every message waiting in this thread's queue and returns. Answers false
// when it saw WM_QUIT, WM_DESTROY or WM_CLOSE, which end a progress wait early.
bool PumpMessages();
