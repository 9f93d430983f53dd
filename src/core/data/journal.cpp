#include "core/data/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>

#include "core/io/files.h"
#include "core/text/lines.h"

namespace tarnwick {

namespace {

constexpr std::string_view kTag = "T1";

std::array<uint32_t, 256> CrcTable() {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
    return t;
}

uint32_t Crc32(std::string_view bytes) {
    static const std::array<uint32_t, 256> table = CrcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (char ch : bytes) c = table[(c ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, std::string_view value) {
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

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string& out) {
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

bool Number(std::string_view text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty() && value >= 0;
}

// The blank-separated words of a line; an empty word (two blanks) makes the line damaged.
bool Words(std::string_view line, std::vector<std::string_view>& words) {
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

bool ParseEntry(std::string_view line, JournalEntry& e, std::vector<std::string_view>& words) {
    if (!Words(line, words) || words.size() != 7 || words[0] != kTag) return false;
    const std::string_view crcText = words[6];
    uint32_t crc = 0;
    const auto [end, ec] =
        std::from_chars(crcText.data(), crcText.data() + crcText.size(), crc, 16);
    if (ec != std::errc() || end != crcText.data() + crcText.size() || crcText.size() != 8) {
        return false;
    }
    if (Crc32(line.substr(0, line.size() - 9)) != crc) return false;
    if (!Number(words[1], e.Record) || !Number(words[2], e.Field)) return false;
    if (words[3] != "0" && words[3] != "1") return false;
    e.ToCode = words[3] == "1";
    return Unescape(words[4], e.RespondentId) && Unescape(words[5], e.Code);
}

}  // namespace

std::string FormatJournalEntry(const JournalEntry& e) {
    std::string line(kTag);
    line += ' ';
    line += std::to_string(e.Record);
    line += ' ';
    line += std::to_string(e.Field);
    line += e.ToCode ? " 1 " : " 0 ";
    AppendEscaped(line, e.RespondentId);
    line += ' ';
    AppendEscaped(line, e.Code);
    const uint32_t crc = Crc32(line);
    line += ' ';
    for (int shift = 28; shift >= 0; shift -= 4) line += kHex[(crc >> shift) & 15];
    line += '\n';
    return line;
}

JournalReading ReadJournalText(std::string_view text) {
    JournalReading reading;
    LineCursor cursor(text);
    std::vector<std::string_view> words;
    size_t number = 0;
    for (std::string_view line; cursor.Next(line);) {
        ++number;
        JournalEntry e;
        if (ParseEntry(line, e, words)) {
            reading.Entries.push_back(std::move(e));
        } else {
            reading.Faults.push_back("Coding journal: entry " + std::to_string(number) +
                                     " is damaged and was skipped.");
        }
    }
    return reading;
}

int ReplayJournal(const std::vector<JournalEntry>& entries, const Classification& clf,
                  CaseModel& cases, std::vector<std::string>& faults) {
    int changed = 0;
    for (size_t n = 0; n < entries.size(); ++n) {
        const JournalEntry& e = entries[n];
        const auto skip = [&](const char* why) {
            faults.push_back("Coding journal: entry " + std::to_string(n + 1) + ' ' + why);
        };
        if (static_cast<size_t>(e.Record) >= cases.Respondents.size()) {
            skip("names a record these data lack; skipped.");
            continue;
        }
        TOsoba& r = cases.Respondents[static_cast<size_t>(e.Record)];
        if (r.RespondentId != e.RespondentId) {
            skip("belongs to another respondent; skipped.");
            continue;
        }
        if (static_cast<size_t>(e.Field) >= r.Occupations.size()) {
            skip("names an occupation field these parameters lack; skipped.");
            continue;
        }
        const std::optional<std::string_view> name = clf.NameOf(e.Code);
        if (!name) {
            skip("holds a code the classification lacks; skipped.");
            continue;
        }
        TZawod& z = r.Occupations[static_cast<size_t>(e.Field)];
        if (z.Code == e.Code && z.ToCode == e.ToCode) continue;
        z.Code = e.Code;
        z.CodeName = *name;
        z.ToCode = e.ToCode;
        ++changed;
    }
    return changed;
}

JournalFile::JournalFile(std::string path) : path_(std::move(path)) {}

void JournalFile::Open() {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0) throw IoError(IoErrorText(path_, errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int e = errno;
        ::close(fd_);
        fd_ = -1;
        throw IoError(IoErrorText(path_, e));
    }
    size_ = static_cast<long long>(st.st_size);
    // A line torn by a crash is ended, so that the next entry starts a line of its own.
    char last = '\n';
    if (size_ > 0 && ::pread(fd_, &last, 1, size_ - 1) == 1 && last != '\n') Write("\n");
}

JournalFile::~JournalFile() {
    if (fd_ < 0) return;
    ::close(fd_);
    // An empty journal tells nothing: it does not stay beside the project's files.
    if (size_ == 0) ::unlink(path_.c_str());
}

void JournalFile::Write(std::string_view line) {
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : ENOSPC;
            // A part written (a full disk) would join the next entry: cut it off again.
            if (::ftruncate(fd_, size_) != 0) {
            }
            throw IoError(IoErrorText(path_, e));
        }
        done += static_cast<size_t>(n);
    }
    if (::fdatasync(fd_) != 0) {
        const int e = errno;
        if (::ftruncate(fd_, size_) != 0) {
        }
        throw IoError(IoErrorText(path_, e));
    }
    size_ += static_cast<long long>(line.size());
}

void JournalFile::Append(const JournalEntry& entry) {
    if (fd_ < 0) Open();
    Write(FormatJournalEntry(entry));
}

void JournalFile::AppendAll(const std::vector<JournalEntry>& entries) {
    if (entries.empty()) return;
    if (fd_ < 0) Open();
    std::string lines;
    for (const JournalEntry& entry : entries) lines += FormatJournalEntry(entry);
    Write(lines);
}

void JournalFile::Clear() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    size_ = 0;
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) throw IoError(IoErrorText(path_, errno));
}

}  // namespace tarnwick
