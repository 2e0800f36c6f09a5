#pragma once
#include <cstdint>
#include <cstdio>

// The progress bar of `quox build` on a terminal: bytes compressed, rate and time left,
// redrawn in place on one line. It appears only once a build has run for a second, so a
// quick build shows nothing but its summary, and it wipes itself before the summary is
// printed. The caller says whether the stream is a terminal and how long the build has
// run, so the drawing is the same under test as on a terminal.
class ProgressBar {
public:
    static constexpr double kDelaySeconds = 1.0;

    ProgressBar(FILE* out, bool terminal) : m_out(out), m_terminal(terminal) {}

    // `elapsed`: seconds since the build started.
    void Update(uint64_t done, uint64_t total, double elapsed);
    // Wipes the bar, when one was drawn.
    void Finish();

private:
    FILE* m_out;
    bool m_terminal;
    bool m_started = false;
    bool m_shown = false;
    // The rate is measured from the first report, not from the start of the build: the
    // files were being collected before that.
    double m_firstElapsed = 0;
    uint64_t m_firstDone = 0;
};
