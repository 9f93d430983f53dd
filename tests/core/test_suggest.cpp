// The suggestion engine and the coding memory, on a small classification written here.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/classification/loader.h"
#include "core/io/files.h"
#include "core/suggest/analysis.h"
#include "core/suggest/suggest.h"

namespace tarnwick {
namespace {

// Codes 1110..1140 below 1100; 9998 and 9999 the standard ones. Windows-1250 bytes.
const char* const kClassification =
    "Test\r\n"
    "#C 1000\r\n#N Health and teaching\r\n"
    "#C 1100\r\n#N Professionals\r\n"
    "#C 1110\r\n#N Nursing professionals\r\n#D Care of patients. {[nurse] [district nurse]}\r\n"
    "#C 1120\r\n#N Primary school teachers\r\n#D Teach children. {[teacher] [schoolteacher]}\r\n"
    "#C 1130\r\n#N Heavy truck drivers\r\n#D Drive lorries. {[lorry driver] [trucker]}\r\n"
    "#C 1140\r\n#N Piel\xEAgniarki\r\n#D Opieka nad pacjentem. {[piel\xEAgniarka]}\r\n"
    "#CM 9998\r\n#N Missing\r\n#D Nurse not known.\r\n"
    "#CN 9999\r\n#N Not applicable\r\n#D Teacher not applicable.\r\n";

Classification Load() {
    Classification clf;
    int width = 0;
    std::vector<std::string> errors;
    EXPECT_TRUE(LoadClassificationText(kClassification, "t.clf", width, clf, errors, false));
    return clf;
}

std::string First(const SuggestionEngine& engine, const std::string& answer,
                  const CodingMemory& memory = {}) {
    const auto ranked = engine.Rank({answer}, memory, 10);
    return ranked.empty() ? "" : ranked[0].code;
}

TEST(Suggest, FindsTheCategoryThroughCaseOrderInflectionTyposAndAccents) {
    const Classification clf = Load();
    const SuggestionEngine engine(clf);
    EXPECT_EQ(engine.CategoryCount(), 4u);  // lowest levels without the standard ones
    EXPECT_EQ(First(engine, "Heavy truck drivers"), "1130");
    EXPECT_EQ(First(engine, "DRIVERS, TRUCK HEAVY"), "1130");
    EXPECT_EQ(First(engine, "nurses"), "1110");
    EXPECT_EQ(First(engine, "teachers of the primary school"), "1120");
    EXPECT_EQ(First(engine, "lorry drvier"), "1130");    // two letters swapped
    EXPECT_EQ(First(engine, "schooltaecherr"), "1120");  // two letters wrong
    EXPECT_EQ(First(engine, "pielegniarka"), "1140");    // without its accent
    EXPECT_EQ(First(engine, "lorrydriver"), "1130");     // two known words written as one
    const auto ranked = engine.Rank({"nurse"}, {}, 10);
    for (const Suggestion& s : ranked) {
        EXPECT_NE(s.code, "9998");
        EXPECT_NE(s.code, "9999");
        EXPECT_GE(s.score, 1);
        EXPECT_LE(s.score, 99);
    }
    ASSERT_FALSE(ranked.empty());
    EXPECT_EQ(ranked[0].reason, "nurse");
    // Answer labels in the later fields that the classification does not know take nothing
    // from the score of the job title's match.
    const auto labelled = engine.Rank({"nurse", "", "Self-employed", "Don't know", "No"}, {}, 10);
    ASSERT_FALSE(labelled.empty());
    EXPECT_EQ(labelled[0].code, ranked[0].code);
    EXPECT_EQ(labelled[0].score, ranked[0].score);
    EXPECT_TRUE(engine.Rank({"", "  ,.; "}, {}, 10).empty());
}

TEST(Suggest, MemoryRanksEarlierCodesFirstAndUnlearnLeavesNoTrace) {
    const Classification clf = Load();
    const SuggestionEngine engine(clf);
    CodingMemory memory;
    const std::vector<std::string> answer = {"Teacher", "drives children to school"};
    const auto before = engine.Rank(answer, memory, 10);
    const std::string emptyFile = memory.Format();

    memory.Learn({"teacher ", "Drives children, to school."}, "1130");
    memory.Learn(answer, "1130");
    memory.Learn(answer, "1110");
    auto ranked = engine.Rank(answer, memory, 3);
    ASSERT_EQ(ranked.size(), 3u);
    EXPECT_EQ(ranked[0].code, "1130");
    EXPECT_EQ(ranked[0].reason, "coded 2 times as this before");
    EXPECT_EQ(ranked[1].code, "1110");
    EXPECT_EQ(ranked[1].reason, "coded once as this before");
    EXPECT_EQ(ranked[2].code, "1120");

    // A similar answer learns from the words of the coded ones, shown by the fields learnt
    // from, without the answer labels after them.
    const std::vector<std::string> seller = {"Kapana seller", "", "Don't know"};
    memory.Learn(seller, "1140");
    const auto similar = engine.Rank({"kapana sellers at the market"}, memory, 1);
    ASSERT_EQ(similar.size(), 1u);
    EXPECT_EQ(similar[0].code, "1140");
    EXPECT_EQ(similar[0].reason, "like answers coded before: kapana seller");

    memory.Unlearn(seller, "1140");
    memory.Unlearn(answer, "1110");
    memory.Unlearn(answer, "1130", 2);
    memory.Unlearn(answer, "1120");  // never learnt: nothing happens
    EXPECT_EQ(memory.AnswerCount(), 0u);
    EXPECT_EQ(memory.Format(), emptyFile);
    EXPECT_TRUE(memory == CodingMemory());
    const auto after = engine.Rank(answer, memory, 10);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].code, before[i].code);
        EXPECT_EQ(after[i].score, before[i].score);
    }

    // Unlearning some answers leaves a memory that ranks as one that learnt only the others.
    CodingMemory both;
    CodingMemory one;
    one.Learn({"kapana seller"}, "1140");
    one.Learn({"kapana cook"}, "1130");
    both.Learn({"kapana seller"}, "1140");
    both.Learn({"kapana cook"}, "1130", 3);
    both.Learn({"kapana grill", "grills meat"}, "1130", 2);
    both.Unlearn({"kapana grill", "grills meat"}, "1130", 2);
    both.Unlearn({"kapana cook"}, "1130", 2);
    const auto kept = engine.Rank({"kapana grill stall vendor"}, both, 10);
    const auto only = engine.Rank({"kapana grill stall vendor"}, one, 10);
    ASSERT_EQ(kept.size(), only.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].code, only[i].code);
        EXPECT_EQ(kept[i].score, only[i].score);
    }
}

// The memory's table of answers grows, forgets and takes answers back without losing one.
TEST(Suggest, TheAnswerTableFindsEveryAnswerThroughGrowthAndForgetting) {
    suggest::AnswerIndex index;
    std::vector<std::string_view> texts;
    auto textOf = [&](uint32_t slot) { return texts[slot]; };
    auto hash = [](std::string_view text) { return std::hash<std::string_view>()(text); };
    auto add = [&](const std::string& text) {
        bool added = false;
        const auto slot = static_cast<uint32_t>(texts.size());
        texts.push_back(index.Keep(text));
        EXPECT_EQ(index.Insert(text, hash(text), slot, textOf, added), slot);
        EXPECT_TRUE(added);
    };
    for (int i = 0; i < 5000; ++i) add("answer " + std::to_string(i));
    for (int i = 1; i < 5000; i += 2) {
        const std::string text = "answer " + std::to_string(i);
        index.Erase(hash(text), static_cast<uint32_t>(i));
    }
    EXPECT_EQ(index.Size(), 2500u);
    for (int i = 1; i < 5000; i += 2) add("answer " + std::to_string(i));  // in new slots
    EXPECT_EQ(index.Size(), 5000u);
    for (int i = 0; i < 5000; ++i) {
        const std::string text = "answer " + std::to_string(i);
        const uint32_t slot = index.Find(text, hash(text), textOf);
        ASSERT_NE(slot, suggest::AnswerIndex::kNone) << i;
        EXPECT_EQ(texts[slot], text);
        EXPECT_EQ(slot >= 5000u, i % 2 == 1) << i;
    }
    EXPECT_EQ(index.Find("answer 5000", hash("answer 5000"), textOf), suggest::AnswerIndex::kNone);
}

// A large memory reads its common words through a sample; the ranking must still see those words
// in every answer it considers, and rank alike whatever order the memory learnt and unlearnt in.
TEST(Suggest, ALargeMemoryWeighsItsCommonWordsInEveryAnswerConsidered) {
    const Classification clf = Load();
    const SuggestionEngine engine(clf);
    const char* const codes[] = {"1110", "1120", "1130"};
    auto answerOf = [](int i) -> std::vector<std::string> {
        std::string title = "w" + std::to_string(i) + (i % 5 == 0 ? " clerk" : "");
        return {title, "files papers w" + std::to_string(i % 37)};
    };
    // Forward learns every answer and unlearns each 50th, out of lists kept in key order;
    // backward never learns those.
    CodingMemory forward, backward;
    constexpr int kAnswers = 24000;
    for (int i = 0; i < kAnswers; ++i) forward.Learn(answerOf(i), codes[i % 7 == 0 ? 2 : i % 2]);
    for (int i = 0; i < kAnswers; i += 50) forward.Unlearn(answerOf(i), codes[i % 7 == 0 ? 2 : 0]);
    for (int i = kAnswers - 1; i >= 0; --i) {
        if (i % 50 != 0) backward.Learn(answerOf(i), codes[i % 7 == 0 ? 2 : i % 2]);
    }
    EXPECT_TRUE(forward == backward);
    const std::vector<std::string> answer = {"Clerk", "files papers w3"};
    const auto a = engine.Rank(answer, forward, 3);
    const auto b = engine.Rank(answer, backward, 3);
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].code, b[i].code);
        EXPECT_EQ(a[i].score, b[i].score);
    }
    // "clerk" is held by 4,800 answers, so it is sampled; the closest answers share it and the
    // context, and the reason shows one of them.
    EXPECT_NE(a[0].reason.find(" clerk | files papers w3"), std::string::npos) << a[0].reason;
}

// The model learns a large memory's most often given answers; the snapshot picks them by
// counting, and must pick what a full sort would.
TEST(Suggest, AModelSnapshotTakesTheMostOftenGivenAnswers) {
    CodingMemory memory;
    for (int i = 0; i < 300; ++i) {
        const uint32_t times = i % 10 == 0 ? 70 + i % 3 : 1 + static_cast<uint32_t>(i % 4);
        memory.Learn({"answer " + std::to_string(i)}, "1110", times);
    }
    ModelSource all = memory.ModelSnapshot();
    ASSERT_EQ(all.answers.size(), 300u);
    std::sort(all.answers.begin(), all.answers.end(), [](const auto& a, const auto& b) {
        if (a.times != b.times) return a.times > b.times;
        return a.key != b.key ? a.key < b.key : a.text < b.text;
    });
    for (size_t most : {5u, 30u, 95u, 299u}) {
        ModelSource some = memory.ModelSnapshot(most);
        ASSERT_EQ(some.answers.size(), most);
        std::vector<std::string> got, want;
        for (size_t i = 0; i < most; ++i) {
            got.push_back(some.answers[i].text);
            want.push_back(all.answers[i].text);
        }
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << most;
        EXPECT_EQ(some.coded.at("1110"), all.coded.at("1110"));
    }
}

TEST(Suggest, MemoryFileRoundTripsAndADamagedOneSaysWhere) {
    CodingMemory memory;
    memory.Learn({"Kierowca  CI\xCA\xAF"
                  "AR\xD3WKI",
                  "", "wozi towary"},
                 "1130");
    memory.Learn({"nurse"}, "1110", 3);
    const std::string text = memory.Format();
    EXPECT_EQ(text,
              "Tarnwick coding memory 1\r\n"
              "1\t1130\tkierowca ci\xEA\xBF"
              "ar\xF3wki |  | wozi towary\r\n"
              "3\t1110\tnurse\r\n");
    std::string error;
    auto back = CodingMemory::Parse(text, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(*back == memory);

    const std::pair<std::string, std::string> damaged[] = {
        {"", "memory file, line 1: not a coding memory"},
        {"Tarnwick coding memory 1\r\n3\t1110\r\n", "line 2: a line must hold a count"},
        {"Tarnwick coding memory 1\r\nx\t1110\tnurse\r\n", "line 2: the count is not"},
        {"Tarnwick coding memory 1\r\n0\t1110\tnurse\r\n", "line 2: the count is not"},
        {"Tarnwick coding memory 1\r\n1\t\tnurse\r\n", "line 2: the code is empty"},
        {"Tarnwick coding memory 1\r\n1\t1110\tNurse\r\n", "line 2: the answer is empty or"},
        {"Tarnwick coding memory 1\r\n1\t1110\tnurse |\r\n", "line 2: the answer is empty or"},
        {"Tarnwick coding memory 1\r\n1\t1110\tnurse |  | night  shift\r\n", "line 2: the answer"},
        {"Tarnwick coding memory 1\r\n1\t1110\tnurse\r\n2\t1110\tnurse\r\n",
         "line 3: this answer and code stand on an earlier line"},
    };
    for (const auto& [file, why] : damaged) {
        error.clear();
        EXPECT_FALSE(CodingMemory::Parse(file, &error)) << file;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    }
}

TEST(Suggest, ACaseNormalisesAsItsTextsDo) {
    TDokumZaw d("ZAW", "Job");
    d.InfoPos[1] = 1, d.InfoWidth[1] = 12;   // title
    d.InfoPos[3] = 13, d.InfoWidth[3] = 2;   // a labelled answer; field 2 not declared
    d.InfoPos[4] = 15, d.InfoWidth[4] = 10;  // labelled too, with codes too long to pack
    d.InfoLabels[3].Add("07", {"07", "Public SECTOR"});
    EXPECT_EQ(NormaliseCaseAnswer(d, "Bus-Driver, 07"), "bus driver |  | public sector");
    d.InfoLabels[4].Add("0000000012", {"0000000012", "Night shift"});
    // The normaliser for many cases remembers labels: it must agree with the plain one whether
    // it meets a text first or again, and tell " 7" from "07" only as the labels do.
    CaseAnswerNormaliser normalise;
    for (int pass = 0; pass < 2; ++pass) {
        for (const std::string record :
             {"Bus-Driver, 07 ", "  nurse     8           ", "            07", "cook         7",
              "cook        70", "cook        07        12", "cook        07       012",
              "cook        0799"}) {
            const std::string plain = NormaliseCaseAnswer(d, record);
            EXPECT_EQ(plain, NormaliseAnswer(CaseInfoTexts(d, record)));
            EXPECT_EQ(normalise(d, record), plain) << record;
        }
    }
}

TEST(Suggest, AOneFieldAnswerSplitsIntoTitleAndContextAfterAJobNoun) {
    auto known = [](std::string_view w) { return w == "nursing"; };
    auto head = [](std::string_view w) {
        return w == "teacher" || w == "nurse" || w == "engineer";
    };
    auto split = [&](std::string_view text) {
        const auto parts = suggest::SplitTitle(text, known, head);
        return std::string(parts.title) + "|" + std::string(parts.context);
    };
    EXPECT_EQ(split("primary school teacher - teaches year 3 pupils"),
              "primary school teacher | teaches year 3 pupils");
    EXPECT_EQ(split("Nurse, night shifts"), "Nurse| night shifts");
    EXPECT_EQ(split("nurse in a hospital"), "nurse | a hospital");
    EXPECT_EQ(split("engineer designing bridges"), "engineer |designing bridges");
    // A comma, preposition or -ing word after a word that names no job is the title's own.
    EXPECT_EQ(split("hardware, plumbing and heating engineer"),
              "hardware, plumbing and heating engineer|");
    EXPECT_EQ(split("nurse nursing the elderly"), "nurse nursing the elderly|");
    EXPECT_EQ(split("teacher"), "teacher|");
}

// One answer coded by the coder must not teach its code to a different job whose title is a key
// word of another category (the demo classification).
TEST(Suggest, OneCodedAnswerDoesNotOutrankTheCategoryNamedByTheTitle) {
    Classification clf;
    int width = 0;
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadClassificationText(ReadWholeFile(std::string(TARNWICK_DEMO) + "/demo.clf"),
                                       "demo.clf", width, clf, errors));
    const SuggestionEngine engine(clf);
    struct Case {
        std::vector<std::string> learnt;
        std::string code;
        std::vector<std::string> answer;
        std::string first;
    };
    const Case cases[] = {
        {{"Bus driver", "drives a city bus"},
         "6452",
         {"Truck driver", "drives a truck across Europe"},
         "6453"},
        {{"Farm worker"}, "6311", {"Worker", "works"}, "3212"},  // as without the memory
        {{"Managing director"}, "0291", {"Manager", "manages a department of 40 people"}, "0311"},
    };
    for (const Case& c : cases) {
        CodingMemory memory;
        memory.Learn(c.learnt, c.code);
        const auto ranked = engine.Rank(c.answer, memory, 3);
        ASSERT_FALSE(ranked.empty());
        EXPECT_EQ(ranked[0].code, c.first) << c.answer[0];
    }
}

// The learnt model is a function of the memory's contents: built only from enough answers, the
// same from the same memory however it was learnt, and back in use after an undo.
TEST(Suggest, TheLearntModelFollowsTheMemorysContentsExactly) {
    const Classification clf = Load();
    const SuggestionEngine engine(clf);
    const char* const jobs[][2] = {
        {"ward nurse", "1110"}, {"class teacher", "1120"}, {"lorry driver", "1130"}};
    auto answerOf = [&](size_t i) {
        return std::vector<std::string>{std::string(jobs[i % 3][0]) + " " + std::to_string(i)};
    };
    CodingMemory memory, reversed;
    const size_t n = SuggestionEngine::kModelAnswers;
    for (size_t i = 0; i + 1 < n; ++i) memory.Learn(answerOf(i), jobs[i % 3][1]);
    EXPECT_EQ(engine.BuildModel(memory.ModelSnapshot()), nullptr);  // one answer too few
    memory.Learn(answerOf(n - 1), jobs[(n - 1) % 3][1]);
    for (size_t i = n; i-- > 0;) reversed.Learn(answerOf(i), jobs[i % 3][1]);
    ASSERT_EQ(memory.ContentHash(), reversed.ContentHash());

    engine.RefreshModel(memory);
    engine.RefreshModel(reversed);
    ASSERT_NE(memory.Model(), nullptr);
    EXPECT_EQ(memory.Model()->Weights(), reversed.Model()->Weights());
    const std::vector<std::string> query = {"night nurse on a ward"};
    const auto before = engine.Rank(query, memory);
    const auto same = engine.Rank(query, reversed);
    ASSERT_EQ(before.size(), same.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].code, same[i].code);
        EXPECT_EQ(before[i].score, same[i].score);
    }

    memory.Learn(query, "1130");
    EXPECT_EQ(memory.Model(), nullptr);  // out of date: the memory ranks alone
    memory.Unlearn(query, "1130");
    ASSERT_NE(memory.Model(), nullptr);
    const auto after = engine.Rank(query, memory);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].code, before[i].code);
        EXPECT_EQ(after[i].score, before[i].score);
        EXPECT_EQ(after[i].reason, before[i].reason);
    }
}

}  // namespace
}  // namespace tarnwick
