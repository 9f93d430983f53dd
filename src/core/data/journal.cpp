#include "core/data/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <unordered_map>

#include "core/io/files.h"
#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

constexpr std::string_view kTag = "T1";
constexpr std::string_view kProvenanceTag = "P1";

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

bool Number(std::string_view text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty() && value >= 0;
}

// The CRC word that ends every line, of everything before the blank that precedes it.
bool CrcHolds(std::string_view line, const std::vector<std::string_view>& words) {
    const std::string_view crcText = words.back();
    uint32_t crc = 0;
    const auto [end, ec] =
        std::from_chars(crcText.data(), crcText.data() + crcText.size(), crc, 16);
    if (ec != std::errc() || end != crcText.data() + crcText.size() || crcText.size() != 8) {
        return false;
    }
    return Crc32(line.substr(0, line.size() - 9)) == crc;
}

void AppendCrc(std::string& line) {
    const uint32_t crc = Crc32(line);
    line += ' ';
    for (int shift = 28; shift >= 0; shift -= 4) line += kHex[(crc >> shift) & 15];
    line += '\n';
}

bool ParseEntry(std::string_view line, JournalEntry& e, std::vector<std::string_view>& words) {
    if (!SplitWords(line, words) || words.size() != 7 || words[0] != kTag) return false;
    if (!CrcHolds(line, words)) return false;
    if (!Number(words[1], e.Record) || !Number(words[2], e.Field)) return false;
    if (words[3] != "0" && words[3] != "1") return false;
    e.ToCode = words[3] == "1";
    return UnescapeWord(words[4], e.RespondentId) && UnescapeWord(words[5], e.Code);
}

// A provenance line, which must belong to the entry `of` just before it.
bool ParseProvenance(std::string_view line, const JournalEntry& of, Provenance& p,
                     std::vector<std::string_view>& words) {
    if (!SplitWords(line, words) || words.size() != 4 + kProvenanceWords ||
        words[0] != kProvenanceTag || !CrcHolds(line, words)) {
        return false;
    }
    int record = 0;
    int field = 0;
    return Number(words[1], record) && Number(words[2], field) && record == of.Record &&
           field == of.Field && ParseProvenanceWords(words, 3, p);
}

}  // namespace

std::string FormatJournalEntry(const JournalEntry& e) {
    std::string line(kTag);
    line += ' ';
    line += std::to_string(e.Record);
    line += ' ';
    line += std::to_string(e.Field);
    line += e.ToCode ? " 1 " : " 0 ";
    AppendEscapedWord(line, e.RespondentId);
    line += ' ';
    AppendEscapedWord(line, e.Code);
    AppendCrc(line);
    return line;
}

std::string FormatProvenanceLine(const JournalEntry& e, const Provenance& p) {
    std::string line(kProvenanceTag);
    line += ' ';
    line += std::to_string(e.Record);
    line += ' ';
    line += std::to_string(e.Field);
    AppendProvenanceWords(line, p);
    AppendCrc(line);
    return line;
}

JournalReading ReadJournalText(std::string_view text) {
    JournalReading reading;
    LineCursor cursor(text);
    std::vector<std::string_view> words;
    size_t number = 0;
    // A provenance line belongs to the entry on the line just before it, and to no other.
    bool entryBefore = false;
    for (std::string_view line; cursor.Next(line);) {
        ++number;
        JournalEntry e;
        Provenance p;
        if (ParseEntry(line, e, words)) {
            reading.Entries.push_back(std::move(e));
            reading.Origins.emplace_back();
            entryBefore = true;
            continue;
        }
        if (entryBefore && ParseProvenance(line, reading.Entries.back(), p, words)) {
            reading.Origins.back() = std::move(p);
        } else {
            reading.Faults.push_back("Coding journal: entry " + std::to_string(number) +
                                     " is damaged and was skipped.");
        }
        entryBefore = false;
    }
    return reading;
}

namespace {

int Replay(const std::vector<JournalEntry>& entries,
           const std::vector<std::optional<Provenance>>* origins, const Classification& clf,
           CaseModel& cases, ProvenanceBook* book, std::vector<std::string>& faults,
           int* recoveredCodes) {
    int changed = 0;
    // The code each changed case had before the replay.
    std::unordered_map<uint64_t, std::string> before;
    // An entry belongs to its respondent, wherever the data now hold them (records sorted
    // again, or some left out): its own record when the identifiers agree, else the one record
    // of that identifier, built only once an entry is found out of place.
    constexpr long kNoRecord = -1;
    constexpr long kTwoRecords = -2;
    std::unordered_map<std::string_view, long> byId;
    const auto RecordOf = [&](const JournalEntry& e) -> long {
        const size_t at = static_cast<size_t>(e.Record);
        if (e.Record >= 0 && at < cases.Respondents.size() &&
            cases.Respondents[at].RespondentId == e.RespondentId) {
            return e.Record;
        }
        if (byId.empty()) {
            for (size_t i = 0; i < cases.Respondents.size(); ++i) {
                const auto [it, fresh] =
                    byId.emplace(cases.Respondents[i].RespondentId, static_cast<long>(i));
                if (!fresh) it->second = kTwoRecords;
            }
        }
        const auto found = byId.find(e.RespondentId);
        return found == byId.end() ? kNoRecord : found->second;
    };
    for (size_t n = 0; n < entries.size(); ++n) {
        const JournalEntry& e = entries[n];
        const auto skip = [&](const char* why) {
            faults.push_back("Coding journal: entry " + std::to_string(n + 1) + ' ' + why);
        };
        const long record = RecordOf(e);
        if (record == kNoRecord) {
            skip("names a respondent these data lack; skipped.");
            continue;
        }
        if (record == kTwoRecords) {
            skip("names a respondent who has more than one record in these data; skipped.");
            continue;
        }
        TOsoba& r = cases.Respondents[static_cast<size_t>(record)];
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
        const bool changes = !(z.Code == e.Code && z.ToCode == e.ToCode);
        if (book) {
            const std::optional<Provenance>* origin =
                origins && n < origins->size() ? &(*origins)[n] : nullptr;
            if (origin && *origin) {
                book->Put(static_cast<int>(record), e.Field, **origin);
            } else if (e.Code.empty()) {
                book->Erase(static_cast<int>(record), e.Field);
            } else if (changes || !book->Find(static_cast<int>(record), e.Field)) {
                // Only the journal knows this code, and not where it came from.
                Provenance recovered;
                recovered.origin.source = CodeSource::Recovered;
                book->Set(static_cast<int>(record), e.Field, recovered);
            }
        }
        if (!changes) continue;
        if (recoveredCodes) {
            before.try_emplace(static_cast<uint64_t>(record) << 32 | static_cast<uint32_t>(e.Field),
                               z.Code);
        }
        z.Code = e.Code;
        z.CodeName = *name;
        z.ToCode = e.ToCode;
        ++changed;
    }
    if (recoveredCodes) {
        // Over the cases' last states: a code given and then taken back again is none.
        *recoveredCodes = 0;
        for (const auto& [key, code] : before) {
            const TZawod& z = cases.Respondents[key >> 32].Occupations[key & 0xFFFFFFFFu];
            if (!z.Code.empty() && z.Code != code) ++*recoveredCodes;
        }
    }
    return changed;
}

}  // namespace

int ReplayJournal(const std::vector<JournalEntry>& entries, const Classification& clf,
                  CaseModel& cases, std::vector<std::string>& faults) {
    return Replay(entries, nullptr, clf, cases, nullptr, faults, nullptr);
}

int ReplayJournal(const JournalReading& reading, const Classification& clf, CaseModel& cases,
                  ProvenanceBook& book, std::vector<std::string>& faults, int* recoveredCodes) {
    return Replay(reading.Entries, &reading.Origins, clf, cases, &book, faults, recoveredCodes);
}

JournalFile::JournalFile(std::string path) : path_(std::move(path)) {}

void JournalFile::Open() {
    // Not blocking: a pipe put at the journal's name must not hold the first code for ever.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                 0666);
    if (fd_ < 0) {
        const int e = errno;
        CheckOwnFile(path_, -1);  // a link or a pipe there: say so
        throw IoError(IoErrorText(path_, e));
    }
    struct stat st {};
    try {
        if (::fstat(fd_, &st) != 0) throw IoError(IoErrorText(path_, errno));
        // Only a file of the coder's own takes the coder's codes.
        CheckOwnFile(path_, fd_);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
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
    // A journal removed under the session (alone or with its folder) still takes writes, which
    // no later opening would find: the action is refused instead.
    if (Removed()) {
        if (::ftruncate(fd_, size_) != 0) {
        }
        throw IoError(path_ + ": " + msg::kJournalRemoved);
    }
    size_ += static_cast<long long>(line.size());
}

bool JournalFile::Removed() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 && st.st_nlink == 0;
}

void JournalFile::Append(const JournalEntry& entry, const Provenance* provenance) {
    if (fd_ < 0) Open();
    // One write: an entry is never on disk without its provenance.
    std::string lines = FormatJournalEntry(entry);
    if (provenance) lines += FormatProvenanceLine(entry, *provenance);
    Write(lines);
}

void JournalFile::AppendAll(const std::vector<JournalEntry>& entries,
                            const std::vector<Provenance>* provenances) {
    if (entries.empty()) return;
    if (fd_ < 0) Open();
    std::string lines;
    for (size_t i = 0; i < entries.size(); ++i) {
        lines += FormatJournalEntry(entries[i]);
        if (provenances && i < provenances->size()) {
            lines += FormatProvenanceLine(entries[i], (*provenances)[i]);
        }
    }
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
