// Times String::Replace on a 1 MB text with 100,000 matches against a naive loop over
// std::string that replaces one match at a time (and so moves the tail once per match).
// Replace records the matches first and moves every byte once, so its time should stay
// near that of a single pass over the text, whatever the length of the replacement.
//
// Usage: bench_text_replace [repetitions]
#include "core/String.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kMatches = 100000;
const char kFind[] = "<v>";

// 100,000 units of 10 bytes: the placeholder and seven bytes of filler.
std::string MakeText()
{
    std::string text;
    text.reserve(kMatches * 10);
    for (int i = 0; i < kMatches; ++i)
        text += "<v>abcdefg";
    return text;
}

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double NaiveLoop(const std::string& text, const std::string& replacement, std::string& out)
{
    auto begin = std::chrono::steady_clock::now();
    out = text;
    size_t position = 0;
    while ((position = out.find(kFind, position)) != std::string::npos) {
        out.replace(position, sizeof(kFind) - 1, replacement);
        position += replacement.size();
    }
    return Seconds(std::chrono::steady_clock::now() - begin);
}

double ReplaceOnce(const std::string& text, const std::string& replacement, String& out, int32_t& count)
{
    out.Assign(text.data(), static_cast<int32_t>(text.size()));
    auto begin = std::chrono::steady_clock::now();
    count = out.Replace(kFind, replacement.c_str());
    return Seconds(std::chrono::steady_clock::now() - begin);
}

}

int main(int argc, char** argv)
{
    int repetitions = argc > 1 ? atoi(argv[1]) : 5;
    if (repetitions < 1)
        repetitions = 1;
    std::string text = MakeText();
    printf("text %zu bytes, %d matches of \"%s\"; best of %d runs of Replace, one naive run\n", text.size(), kMatches,
           kFind, repetitions);
    printf("%-18s %13s %16s %10s\n", "replacement", "Replace (ms)", "naive loop (ms)", "same text");
    for (const char* replacement : { "", "x", "xyz", "value", "a longer value" }) {
        String result;
        int32_t count = 0;
        double best = 1e9;
        for (int i = 0; i < repetitions; ++i) {
            double t = ReplaceOnce(text, replacement, result, count);
            if (t < best)
                best = t;
        }
        std::string naive;
        double naiveTime = NaiveLoop(text, replacement, naive);
        bool same = count == kMatches && naive == std::string(result.Text(), static_cast<size_t>(result.Length()));
        printf("%-18s %13.2f %16.2f %10s\n", (std::string("\"") + replacement + "\"").c_str(), best * 1000,
               naiveTime * 1000, same ? "yes" : "NO");
        if (!same)
            return 1;
    }
    return 0;
}
