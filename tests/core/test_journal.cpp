// The coding journal's lines and their replay, the provenance file, and the lock file's text,
// from strings.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/data/journal.h"
#include "core/data/provenance.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/session/project_lock.h"
#include "core/text/datetime.h"
#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "project_fixture.h"

namespace tarnwick {
namespace {

TEST(Journal, EntriesReadBackAndDamagedLinesAreSkippedAlone) {
    const std::vector<JournalEntry> written = {
        {0, 0, true, "A0001", "2310"},
        {1, 1, false, "B 0%2\x85", "9999"},  // a blank, a percent and a byte past ASCII
        {3, 0, true, "d0004", ""},           // a code cleared
    };
    std::string text;
    for (const JournalEntry& e : written) text += FormatJournalEntry(e);
    EXPECT_EQ(FormatJournalEntry(written[1]).substr(0, 26), "T1 1 1 0 B%200%252%85 9999");

    // A changed byte in the middle and a last entry torn by a crash: only they go.
    std::string damaged = text;
    damaged[damaged.find("2310")] = '3';
    damaged += FormatJournalEntry({2, 0, true, "C0003", "1000"}).substr(0, 17);
    const JournalReading reading = ReadJournalText(damaged);
    ASSERT_EQ(reading.Entries.size(), 2u);
    EXPECT_EQ(reading.Entries[0].RespondentId, "B 0%2\x85");
    EXPECT_FALSE(reading.Entries[0].ToCode);
    EXPECT_EQ(reading.Entries[1].Code, "");
    EXPECT_EQ(reading.Faults,
              (std::vector<std::string>{"Coding journal: entry 1 is damaged and was skipped.",
                                        "Coding journal: entry 4 is damaged and was skipped."}));
    EXPECT_EQ(ReadJournalText(text).Entries.size(), 3u);
    EXPECT_TRUE(ReadJournalText(text).Faults.empty());
}

TEST(Journal, ReplayGivesTheLastStateAndSkipsWhatTheDataLack) {
    Classification clf = testing::FewCategories({"1000", "2310"});
    CaseModel cases;
    cases.Respondents.resize(2);
    cases.Respondents[0].RespondentId = "A0001";
    cases.Respondents[1].RespondentId = "B0002";
    for (TOsoba& r : cases.Respondents) r.Occupations.assign(2, TZawod(true));
    const std::vector<JournalEntry> entries = {
        {0, 0, true, "A0001", "1000"},
        {0, 0, true, "A0001", "2310"},  // coded twice
        {1, 1, true, "B0002", "1000"},
        {1, 1, true, "B0002", ""},  // coded, then undone
        {0, 1, true, "A0001", "1000"},
        {0, 1, true, "A0001", "1000"},  // the same twice
        {5, 0, true, "F0006", "1000"},
        {1, 0, true, "X0002", "1000"},
        {1, 2, true, "B0002", "1000"},
        {1, 0, true, "B0002", "7777"},
        // Found by its identifier where the data now hold it: sorted again, or cut.
        {0, 0, true, "B0002", "2310"},
        {9, 1, true, "B0002", "2310"}};
    std::vector<std::string> faults;
    EXPECT_EQ(ReplayJournal(entries, clf, cases, faults), 7);
    EXPECT_EQ(cases.Respondents[0].Occupations[0].Code, "2310");
    EXPECT_EQ(cases.Respondents[0].Occupations[0].CodeName, clf.Category(clf.IndexOf("2310")).Name);
    EXPECT_EQ(cases.Respondents[0].Occupations[1].Code, "1000");
    EXPECT_EQ(cases.Respondents[1].Occupations[0].Code, "2310");
    EXPECT_EQ(cases.Respondents[1].Occupations[1].Code, "2310");
    EXPECT_EQ(faults.size(), 4u);
    EXPECT_EQ(faults[0], "Coding journal: entry 7 names a respondent these data lack; skipped.");
}

// Two records of two fields each, every case to code.
CaseModel TwoRecords() {
    CaseModel cases;
    cases.Respondents.resize(2);
    cases.Respondents[0].RespondentId = "A0001";
    cases.Respondents[1].RespondentId = "B 0002";
    for (TOsoba& r : cases.Respondents) r.Occupations.assign(2, TZawod(true));
    return cases;
}

Provenance ByCoder(int suggestion, int seconds) {
    Provenance p;
    p.origin = {CodeSource::Coder, CodeLine::Suggestion, suggestion};
    p.coder = "ewa 50%";
    p.when = SecondsSinceEpoch(DateTime{2026, 12, 7, 0, 37, 40});
    p.secondsOnScreen = seconds;
    return p;
}

Provenance Automatic(double confidence) {
    Provenance p;
    p.origin = {CodeSource::Automatic, CodeLine::None, 0, confidence, 0.8125};
    p.when = SecondsSinceEpoch(DateTime{2026, 12, 8, 9, 5, 1});
    return p;
}

TEST(Journal, ProvenanceLinesReplayWithTheirEntries) {
    const Classification clf = testing::FewCategories({"1000", "2310"});
    CaseModel cases = TwoRecords();
    cases.Respondents[1].Occupations[0].Code = "1000";
    ProvenanceBook book;
    book.Set(1, 0, Automatic(0.9));  // cleared by the journal
    const JournalEntry coded{0, 0, true, "A0001", "2310"};
    const JournalEntry automatic{0, 1, true, "A0001", "1000"};
    const JournalEntry cleared{1, 0, true, "B 0002", ""};
    const JournalEntry torn{1, 1, true, "B 0002", "1000"};
    Provenance none;
    none.origin.source = CodeSource::Unknown;
    std::string torn2 = FormatProvenanceLine(torn, ByCoder(1, 3));
    torn2[torn2.size() / 2] ^= 1;
    const std::string text =
        FormatJournalEntry(coded) + FormatProvenanceLine(coded, ByCoder(3, 12)) +
        FormatJournalEntry(automatic) + FormatProvenanceLine(automatic, Automatic(0.87309)) +
        FormatJournalEntry(cleared) + FormatProvenanceLine(cleared, none) +
        FormatJournalEntry(torn) + torn2;
    JournalReading reading = ReadJournalText(text);
    EXPECT_EQ(reading.Faults,
              std::vector<std::string>{"Coding journal: entry 8 is damaged and was skipped."});
    int recovered = 0;
    EXPECT_EQ(ReplayJournal(reading, clf, cases, book, reading.Faults, &recovered), 4);
    EXPECT_EQ(recovered, 3);
    ASSERT_TRUE(book.Find(0, 0) && book.Find(0, 1) && book.Find(1, 1));
    EXPECT_EQ(*book.Find(0, 0), ByCoder(3, 12));
    EXPECT_EQ(*book.Find(0, 1), Automatic(0.87309));
    EXPECT_EQ(book.Find(1, 0), nullptr);
    // The entry whose provenance line was torn keeps its code, of a source no longer known.
    EXPECT_EQ(book.Find(1, 1)->origin.source, CodeSource::Recovered);
    EXPECT_EQ(cases.Respondents[1].Occupations[1].Code, "1000");
    // A provenance line that follows no entry of its case is damaged.
    EXPECT_EQ(ReadJournalText(FormatProvenanceLine(coded, ByCoder(1, 1))).Faults.size(), 1u);
}

TEST(Journal, AnEarlierVersionsJournalReplaysAsBeforeWithItsCodesRecovered) {
    const Classification clf = testing::FewCategories({"1000", "2310"});
    const std::vector<JournalEntry> entries = {{0, 0, true, "A0001", "2310"},
                                               {1, 1, true, "B 0002", "1000"},
                                               {1, 1, false, "B 0002", "9999"},
                                               {0, 1, true, "A0001", "1000"},
                                               {0, 1, true, "A0001", ""}};
    std::string text;
    for (const JournalEntry& e : entries) text += FormatJournalEntry(e);
    CaseModel before = TwoRecords();
    CaseModel after = TwoRecords();
    std::vector<std::string> faults;
    const int changed = ReplayJournal(entries, clf, before, faults);
    JournalReading reading = ReadJournalText(text);
    ProvenanceBook book;
    EXPECT_EQ(ReplayJournal(reading, clf, after, book, reading.Faults), changed);
    EXPECT_TRUE(reading.Faults.empty());
    for (size_t r = 0; r < 2; ++r) {
        for (size_t f = 0; f < 2; ++f) {
            const TZawod& a = before.Respondents[r].Occupations[f];
            const TZawod& b = after.Respondents[r].Occupations[f];
            EXPECT_EQ(a.Code, b.Code);
            EXPECT_EQ(a.ToCode, b.ToCode);
            const Provenance* p = book.Find(static_cast<int>(r), static_cast<int>(f));
            EXPECT_EQ(p ? p->origin.source : CodeSource::Unknown,
                      b.Code.empty() ? CodeSource::Unknown : CodeSource::Recovered);
        }
    }
}

// A pipe made at the journal's name refuses the first entry at once instead of holding it (and
// the coder) for ever.
TEST(Journal, APipeAtItsNameRefusesTheEntryWithoutWaiting) {
    testing::TempFolder folder;
    const std::string path = folder.Path("wave.zjn");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    JournalFile journal(path);
    try {
        journal.Append({0, 0, true, "000001", "0111"}, nullptr);
        ADD_FAILURE() << "the entry was written";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": " + msg::kNotAFile);
    }
}

TEST(ProvenanceFile, ReadsBackByIdentifierAndLeavesOutWhatNoLongerFits) {
    CaseModel cases = TwoRecords();
    cases.Respondents[0].Occupations[0].Code = "2310";
    cases.Respondents[0].Occupations[1].Code = "1000";
    cases.Respondents[1].Occupations[0].Code = "9998";
    cases.Respondents[1].Occupations[1].Code = "1000";
    ProvenanceBook book;
    book.Set(0, 0, ByCoder(2, 41));
    book.Set(0, 1, Automatic(0.87309));
    Provenance missing = ByCoder(0, 0);
    missing.origin.line = CodeLine::MissingData;
    missing.origin.suggestion = 0;
    book.Set(1, 0, missing);
    book.Set(1, 1, Automatic(1));
    StringSink sink;
    WriteProvenanceFile(sink, cases, book);
    const std::vector<std::string_view> lines = SplitLines(sink.text);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], kProvenanceHeader);
    EXPECT_EQ(lines[2], "0 A0001 1 1000 automatic 2026-12-08T09:05:01 % - - 0.87309 0.8125");

    // The records come back in another order, one field's code changed since, and one line is
    // damaged: the rest finds its cases by identifier.
    std::string text = sink.text;
    text.replace(text.find(" suggestion-2 "), 14, " suggestion-x ");
    CaseModel reordered = TwoRecords();
    std::swap(reordered.Respondents[0], reordered.Respondents[1]);
    reordered.Respondents[1].Occupations = cases.Respondents[0].Occupations;
    reordered.Respondents[0].Occupations = cases.Respondents[1].Occupations;
    reordered.Respondents[0].Occupations[1].Code = "2310";
    ProvenanceReading reading = ReadProvenanceText(text);
    EXPECT_EQ(reading.Faults,
              std::vector<std::string>{"Provenance file: line 2 is damaged and was skipped."});
    ProvenanceBook back;
    TakeProvenance(reading.Entries, reordered, back, reading.Faults);
    ASSERT_EQ(back.Size(), 2u);
    ASSERT_TRUE(back.Find(1, 1) && back.Find(0, 0));
    EXPECT_EQ(*back.Find(1, 1), Automatic(0.87309));
    EXPECT_EQ(*back.Find(0, 0), missing);
    ASSERT_EQ(reading.Faults.size(), 2u);
    EXPECT_EQ(reading.Faults[1],
              "Provenance file: 1 entry no longer fits the cases (another respondent, field or "
              "code; the first in line 5) and was dropped.");

    // Another version's file is not read; a binary one only fills the report, in a few lines.
    EXPECT_TRUE(ReadProvenanceText("Tarnwick provenance 2\r\n" + text.substr(23)).Entries.empty());
    const ProvenanceReading binary =
        ReadProvenanceText(std::string(3000, '\0') + std::string(40, '\n'));
    EXPECT_TRUE(binary.Entries.empty());
    ASSERT_EQ(binary.Faults.size(), 11u);
    EXPECT_EQ(binary.Faults.back(), "Provenance file: 30 more damaged lines were skipped.");
}

TEST(ProjectLockText, ReadsBackAndRefusesAnIncompleteLock) {
    const LockHolder h{"jan", "pc12.office", 4242, "2026-12-08 18:55:02"};
    const std::optional<LockHolder> back = ParseLockText(FormatLockText(h));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->User, "jan");
    EXPECT_EQ(back->Host, "pc12.office");
    EXPECT_EQ(back->Pid, 4242);
    EXPECT_EQ(back->Since, "2026-12-08 18:55:02");
    EXPECT_FALSE(ParseLockText("user=jan\nhost=pc12\npid=x\nsince=now\n"));
    EXPECT_FALSE(ParseLockText("user=jan\nhost=pc12\npid=12\n"));
}

}  // namespace
}  // namespace tarnwick
