#include "builder/TextEncoding.h"
#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace {

class Converter {
public:
    explicit Converter(int codePage)
    {
        std::string name = "CP" + std::to_string(codePage);
        m_handle = iconv_open(name.c_str(), "UTF-8");
    }
    ~Converter()
    {
        if (Valid())
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_handle; }

private:
    iconv_t m_handle;
};

// Decodes the UTF-8 character at `at` for the message; U+FFFD when it is not valid.
std::string DescribeCharacter(const std::string& text, size_t at)
{
    unsigned char c = static_cast<unsigned char>(text[at]);
    unsigned value = 0xFFFD;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra && at + extra < text.size()) {
        value = c & (0x3F >> extra);
        for (int i = 1; i <= extra; ++i)
            value = value << 6 | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    }
    char buffer[16];
    snprintf(buffer, sizeof buffer, "U+%04X", value);
    return buffer;
}

}

bool IsSupportedCodePage(int codePage)
{
    return codePage > 0 && Converter(codePage).Valid();
}

std::optional<std::string> ToCodePage(const std::string& utf8, int codePage, std::string& problem)
{
    bool ascii = true;
    for (char c : utf8)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return utf8;
    Converter converter(codePage);
    if (!converter.Valid()) {
        problem = "code page " + std::to_string(codePage) + " is not known";
        return std::nullopt;
    }
    std::string out(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPointer = out.data();
    size_t outLeft = out.size();
    if (iconv(converter.Handle(), &in, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1)) {
        size_t at = utf8.size() - inLeft;
        if (errno == EILSEQ && at < utf8.size() && static_cast<unsigned char>(utf8[at]) >= 0xC0)
            problem = "the character " + DescribeCharacter(utf8, at) + " cannot be written in code page " +
                      std::to_string(codePage);
        else
            problem = "the text is not valid UTF-8 (at byte " + std::to_string(at) + ")";
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}
