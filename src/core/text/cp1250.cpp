#include "core/text/cp1250.h"

namespace tarnwick {

namespace {

// Code points of the bytes 0x80..0xFF.
constexpr char32_t kHigh[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

}  // namespace

char32_t Cp1250ToUnicode(unsigned char c) { return c < 0x80 ? c : kHigh[c - 0x80]; }

int UnicodeToCp1250(char32_t u) {
    if (u < 0x80) return static_cast<int>(u);
    if (u == 0xFFFD) return -1;
    for (int i = 0; i < 128; ++i) {
        if (kHigh[i] == u) return 0x80 + i;
    }
    return -1;
}

namespace {

// The unaccented letter of a Latin code point of U+00C0..U+017F, or 0.
char BaseLetter(char32_t u) {
    static const char* const latin1 =
        "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty";
    static const char* const extendedA =
        "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlL"
        "lLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
    if (u >= 0xC0 && u < 0x100) {
        const char c = latin1[u - 0xC0];
        return (c == 'x' || c == '/') ? 0 : c;
    }
    if (u >= 0x100 && u < 0x180) return extendedA[u - 0x100];
    return 0;
}

}  // namespace

std::string Utf8ToCp1250(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        char32_t u = length == 4 ? c & 0x07 : length == 3 ? c & 0x0F : c & 0x1F;
        bool ok = length != 0 && i + length <= text.size();
        for (size_t k = 1; ok && k < length; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            ok = (b & 0xC0) == 0x80;
            u = (u << 6) | (b & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        i += length;
        const int byte = UnicodeToCp1250(u);
        if (byte >= 0) {
            out += static_cast<char>(byte);
        } else if (const char base = BaseLetter(u); base != 0) {
            out += base;
        } else {
            out += '?';
        }
    }
    return out;
}

std::string Cp1250ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
            continue;
        }
        const char32_t u = kHigh[c - 0x80];  // all of them lie below U+10000
        if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}

}  // namespace tarnwick
