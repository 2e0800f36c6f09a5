#pragma once

// Shows the system's wait cursor for its lifetime, the arrow again afterwards: for the
// moments the program works without a window to say so (testing a directory).
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
