// Fuzzes the text rewriting members of String: Replace with every option, Split with
// every option, and the search and removal operations they build on. Besides looking
// for crashes and bad memory accesses it checks two properties:
// - Replace without the word and quote options gives the same text and result as a
//   plain reference implementation written here;
// - Split that keeps empty tokens and separators gives back the whole text when its
//   tokens are joined.
//
// Input: 2 bytes Replace options, 2 bytes Split options, start, maximum, skip (signed
// bytes), find length, replacement length, separator length, then the find text, the
// replacement, the separators, and the rest is the text.
#include "core/String.h"
#include "core/Vector.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool SameByte(char a, char b, bool ignoreCase)
{
    if (ignoreCase) {
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b + 32);
    }
    return a == b;
}

bool MatchesAt(const std::string& text, size_t at, const std::string& find, bool ignoreCase, bool wildcards)
{
    if (at + find.size() > text.size())
        return false;
    for (size_t i = 0; i < find.size(); ++i) {
        if (wildcards && find[i] == '?')
            continue;
        if (!SameByte(text[at + i], find[i], ignoreCase))
            return false;
    }
    return true;
}

std::string Filled(const std::string& replacement, const std::string& find, const char* matched, bool wildcards)
{
    if (!wildcards)
        return replacement;
    std::string out;
    size_t k = 0;
    for (char c : replacement) {
        if (c == '?') {
            while (k < find.size() && find[k] != '?')
                ++k;
            if (k < find.size()) {
                char byte = matched[k++];
                if (byte)
                    c = byte;
            }
        }
        out += c;
    }
    return out;
}

// The behaviour Replace documents, written the slow and obvious way.
int32_t ReferenceReplace(std::string& text, const std::string& find, const std::string& replacement, int32_t options,
                         int32_t start, int32_t maximum, int32_t skip)
{
    bool wantPosition = options & String::kReturnPosition;
    int32_t nothing = wantPosition ? -1 : 0;
    if (maximum <= 0 || find.empty())
        return nothing;
    bool ignoreCase = options & String::kIgnoreCase;
    bool wildcards = options & String::kWildcards;
    std::string out;
    size_t at = start < 0 ? 0 : static_cast<size_t>(start);
    if (at > text.size())
        at = text.size();
    out = text.substr(0, at);
    int32_t skipped = 0;
    int32_t replaced = 0;
    int32_t first = -1;
    int32_t limit = wantPosition ? 1 : maximum;
    while (at < text.size()) {
        if (replaced < limit && MatchesAt(text, at, find, ignoreCase, wildcards)) {
            if (skipped < skip) {
                ++skipped;
                out += text.substr(at, find.size());
            } else {
                if (first < 0)
                    first = static_cast<int32_t>(at);
                out += Filled(replacement, find, text.data() + at, wildcards);
                ++replaced;
            }
            at += find.size();
        } else {
            out += text[at++];
        }
    }
    text = out;
    if (replaced == 0)
        return skipped > 0 ? skipped : nothing;
    return wantPosition ? first : skipped + replaced;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 10)
        return 0;
    int32_t replaceOptions = data[0] | (data[1] << 8);
    int32_t splitOptions = data[2] | (data[3] << 8);
    int32_t start = static_cast<int8_t>(data[4]);
    int32_t maximum = static_cast<int8_t>(data[5]);
    int32_t skip = static_cast<int8_t>(data[6]) & 7;
    size_t findLength = data[7] % 8;
    size_t replacementLength = data[8] % 16;
    size_t separatorLength = data[9] % 4;
    data += 10;
    size -= 10;
    if (findLength + replacementLength + separatorLength > size)
        return 0;
    std::string find(reinterpret_cast<const char*>(data), findLength);
    std::string replacement(reinterpret_cast<const char*>(data) + findLength, replacementLength);
    std::string separators(reinterpret_cast<const char*>(data) + findLength + replacementLength, separatorLength);
    size_t used = findLength + replacementLength + separatorLength;
    std::string text(reinterpret_cast<const char*>(data) + used, size - used);
    if (maximum == 127)
        maximum = String::kToEnd;

    // Replace, against the reference where the reference knows the options.
    String subject(text.data(), static_cast<int32_t>(text.size()));
    int32_t result = subject.Replace(find.data(), static_cast<int32_t>(find.size()), replacement.data(),
                                     static_cast<int32_t>(replacement.size()), replaceOptions, start, maximum, skip);
    if (!(replaceOptions & (String::kWholeWord | String::kSkipQuoted))) {
        std::string expected = text;
        int32_t expectedResult = ReferenceReplace(expected, find, replacement, replaceOptions, start, maximum, skip);
        std::string got(subject.Text(), static_cast<size_t>(subject.Length()));
        if (got != expected || result != expectedResult)
            abort();
    }
    if (subject.Length() > 0 && subject.Text()[subject.Length()] != 0)
        abort();

    // Split; joining the tokens must give the text back when nothing is dropped.
    String source(text.data(), static_cast<int32_t>(text.size()));
    Vector<String> tokens;
    int32_t count = source.Split(tokens, separators.c_str(), splitOptions);
    if (count != tokens.Count())
        abort();
    bool lossless = (splitOptions & (String::kSplitKeepEmpty | String::kSplitKeepSeparator)) ==
                        (String::kSplitKeepEmpty | String::kSplitKeepSeparator) &&
                    !(splitOptions & (String::kSplitTrim | String::kSplitUnquote));
    if (lossless) {
        std::string joined;
        for (String& token : tokens)
            joined.append(token.Text(), static_cast<size_t>(token.Length()));
        if (joined != text)
            abort();
    }

    // The operations Split and Replace are built on, with the same odd arguments.
    String probe(text.data(), static_cast<int32_t>(text.size()));
    probe.Find(find.c_str(), static_cast<int32_t>(find.size()), start, replaceOptions);
    probe.FindLineEnd(start, splitOptions);
    probe.RemoveChars(separators.c_str(), start, splitOptions);
    probe.TakeQuoted('"', start < 0 ? 0 : start);
    probe.TakeWord();
    probe.TakeLineWithBreak();
    probe.NormalizeLineBreaks();
    return 0;
}
