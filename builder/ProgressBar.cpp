#include "builder/ProgressBar.h"

void ProgressBar::Update(uint64_t done, uint64_t total, double elapsed)
{
    if (!m_terminal)
        return;
    if (!m_started) {
        m_started = true;
        m_firstElapsed = elapsed;
        m_firstDone = done;
    }
    if (elapsed < kDelaySeconds || total == 0)
        return;
    if (done > total)
        done = total;
    double seconds = elapsed - m_firstElapsed;
    double rate = seconds > 0 && done > m_firstDone ? static_cast<double>(done - m_firstDone) / seconds : 0;
    constexpr int kWidth = 24;
    int filled = static_cast<int>(kWidth * static_cast<double>(done) / static_cast<double>(total));
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    char left[32] = "";
    if (rate > 0)
        snprintf(left, sizeof left, ", %.0f s left", static_cast<double>(total - done) / rate);
    // "\033[K" clears what a longer earlier line left to the right.
    fprintf(m_out, "\rcompressing [%s] %.1f of %.1f MB, %.1f MB/s%s\033[K", bar, static_cast<double>(done) / 1e6,
            static_cast<double>(total) / 1e6, rate / 1e6, left);
    fflush(m_out);
    m_shown = true;
}

void ProgressBar::Finish()
{
    if (!m_shown)
        return;
    fputs("\r\033[K", m_out);
    fflush(m_out);
    m_shown = false;
}
