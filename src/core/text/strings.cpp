#include "core/text/strings.h"

#include <array>
#include <charconv>

namespace tarnwick {

std::string NormaliseCode(std::string_view text, int width) {
    std::string out(text);
    for (char& c : out) {
        if (c != ' ') break;
        c = '0';
    }
    if (width > 0 && out.size() < static_cast<size_t>(width)) {
        out.insert(0, static_cast<size_t>(width) - out.size(), '0');
    }
    return out;
}

bool IsBlank(std::string_view text) {
    for (char c : text) {
        if (c != ' ') return false;
    }
    return true;
}

namespace {

// Windows-1250 upper case. Besides ASCII, the lower-case letters of the code page map to their
// capitals: š ś ť ž ź (0x9A 0x9C 0x9D 0x9E 0x9F), ł ą ş ľ ż (0xB3 0xB9 0xBA 0xBE 0xBF) and the
// block 0xE0..0xFE except ÷ (0xF7). µ (0xB5) and ß (0xDF) have no single-byte capital.
constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    for (int i = 'a'; i <= 'z'; ++i) t[i] = static_cast<unsigned char>(i - 32);
    t[0x9A] = 0x8A;
    t[0x9C] = 0x8C;
    t[0x9D] = 0x8D;
    t[0x9E] = 0x8E;
    t[0x9F] = 0x8F;
    t[0xB3] = 0xA3;
    t[0xB9] = 0xA5;
    t[0xBA] = 0xAA;
    t[0xBE] = 0xBC;
    t[0xBF] = 0xAF;
    for (int i = 0xE0; i <= 0xFE; ++i) {
        if (i != 0xF7) t[i] = static_cast<unsigned char>(i - 0x20);
    }
    return t;
}

constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

}  // namespace

unsigned char UpperCase1250(unsigned char c) { return kUpper[c]; }

std::string UpperCase1250(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    return out;
}

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return out;
}

std::string_view TrimLeft(std::string_view text) {
    size_t b = 0;
    while (b < text.size() && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    return text.substr(b);
}

std::string_view TrimRight(std::string_view text) {
    size_t e = text.size();
    while (e > 0 && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return text.substr(0, e);
}

std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = kUpper[static_cast<unsigned char>(a[i])];
        const unsigned char y = kUpper[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CompareBytes(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool ParseInt(std::string_view text, int& out) {
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-') return false;
    }
    int value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last) return false;
    out = value;
    return true;
}

std::string_view CutField(std::string_view record, int pos, int width) {
    if (pos < 1 || width <= 0) return {};
    const size_t start = static_cast<size_t>(pos) - 1;
    if (start >= record.size()) return {};
    return record.substr(start, static_cast<size_t>(width));
}

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

void AppendEscapedWord(std::string& out, std::string_view value) {
    if (value.empty()) {
        out += '%';
        return;
    }
    for (char ch : value) {
        const auto b = static_cast<unsigned char>(ch);
        if (b <= ' ' || b == '%' || b >= 0x7F) {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += ch;
        }
    }
}

bool UnescapeWord(std::string_view text, std::string& out) {
    out.clear();
    if (text == "%") return true;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int hi = HexDigit(text[i + 1]);
        const int lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool SplitWords(std::string_view line, std::vector<std::string_view>& words) {
    words.clear();
    size_t start = 0;
    while (start <= line.size()) {
        const size_t blank = line.find(' ', start);
        const size_t end = blank == std::string_view::npos ? line.size() : blank;
        if (end == start) return false;
        words.push_back(line.substr(start, end - start));
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    return true;
}

}  // namespace tarnwick
