#pragma once
// A coding session built by hand: three occupation fields, a small classification with a
// key-word index filled directly, and respondents whose cases are to be coded or not as the test
// says. Nothing here reads a file.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/coding/navigation.h"
#include "core/coding/options.h"
#include "core/data/cases.h"
#include "core/session/session.h"
#include "core/text/strings.h"
#include "support/scripted_platform.h"

namespace tarnwick::testing {

// Category indices of the fixture's classification (positions in code order).
enum Cat {
    kManagers,      // 1000
    kOfficials,     // 1100
    kLegislators,   // 1110
    kMps,           // 1111
    kPhysicians,    // 2211
    kDentists,      // 2212
    kHairdressers,  // 5141
    kDrivers,       // 8322
    kMissing,       // 9997
    kNotApp,        // 9998
};

class CodingTest : public ::testing::Test {
  public:
    ScriptedPlatform platform;
    Session s{platform};

    CodingTest() {
        BuildParams();
        BuildClassification();
    }

    // Respondents: one string per record, one character per occupation field, '1' when the case
    // is to be coded. Cases not to be coded carry the not-applicable code, as read from data.
    void BuildCases(const std::vector<std::string>& toCode) {
        CaseModel& cm = s.Cases;
        cm = CaseModel{};
        std::vector<std::string> records;
        for (size_t r = 0; r < toCode.size(); ++r)
            records.push_back(RecordText(static_cast<int>(r)));
        for (const std::string& rec : records) cm.DataBuffer += rec;
        size_t offset = 0;
        for (size_t r = 0; r < toCode.size(); ++r) {
            TOsoba o;
            o.Record = std::string_view(cm.DataBuffer).substr(offset, records[r].size());
            offset += records[r].size();
            o.RespondentId = std::string(o.Record.substr(0, 4));
            for (char c : toCode[r]) {
                TZawod z(c == '1');
                if (!z.ToCode) {
                    z.Code = s.Clf.NotApplicableCode;
                    z.CodeName = s.Clf.NotApplicableName;
                }
                o.Occupations.push_back(z);
            }
            UpdateHasToCode(o);
            if (o.HasToCode) cm.SelectorRecords.push_back(static_cast<int>(r));
            cm.Respondents.push_back(std::move(o));
        }
        Recount();
    }

    // Sets counters as reading the data does.
    void Recount() {
        const OccupationCounts c = CountOccupations(s.Cases);
        s.Cases.CodedAtStart = s.Cases.CodedCount = c.toCode - c.notCoded;
        s.Cases.ToCodeCount = c.toCode;
    }

    // A code in the model, as the working file would have merged it.
    void SetCode(int r, int f, int category) {
        TZawod& z = Case(r, f);
        z.Code = s.Clf.Category(category).Code;
        z.CodeName = s.Clf.Category(category).Name;
    }

    TZawod& Case(int r, int f) {
        return s.Cases.Respondents[static_cast<size_t>(r)].Occupations[static_cast<size_t>(f)];
    }

    void Go(int r, int f) {
        s.CurrentRecord = r;
        s.CurrentField = f;
        ShowCurrentCase(s);
    }

    void ExpectAt(int r, int f) {
        EXPECT_EQ(s.CurrentRecord, r);
        EXPECT_EQ(s.CurrentField, f);
    }

    // The messages shown since the last call.
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> m = std::move(platform.messages);
        platform.messages.clear();
        return m;
    }

    // Information field 1 of field f: "R<r>F<f> text"; field 0 also has field 2 (tasks).
    static std::string RecordText(int r) {
        std::string rec = std::to_string(100 + r);
        rec.insert(0, 4 - std::min<size_t>(4, rec.size()), '0');
        for (int f = 0; f < 3; ++f)
            rec += Pad("job " + std::to_string(r) + "." + std::to_string(f));
        rec += Pad("tasks " + std::to_string(r));
        return rec;
    }

    static std::string Pad(std::string text) {
        text.resize(10, ' ');
        return text;
    }

    void BuildParams() {
        CodingParams& p = s.Params;
        p.RespIdPos = 1;
        p.RespIdWidth = 4;
        p.CodeWidth = 4;
        const char* names[3][2] = {
            {"Z1", "Main job"}, {"Z2", "Second job"}, {"Z3", "Father's job"}};
        for (int f = 0; f < 3; ++f) {
            TDokumZaw d(names[f][0], names[f][1]);
            d.InfoPos[1] = 5 + 10 * f;
            d.InfoWidth[1] = 10;
            d.InfoDescr[1] = "Occupation";
            p.DokumList.push_back(d);
        }
        p.DokumList[0].InfoPos[2] = 35;
        p.DokumList[0].InfoWidth[2] = 10;
        p.DokumList[0].InfoDescr[2] = "Tasks";
    }

    void AddCategory(const std::string& code, const std::string& name, const std::string& descr) {
        TKat k(code, 4);
        k.Name = name;
        k.Description = descr;
        k.ListText += ": " + name;
        s.Clf.Categories.Add(code, k);
    }

    // Indexes every beginning of at least three characters of the word, as the loader does.
    void AddKey(const std::string& word, std::vector<int> categories) {
        std::vector<SortedStringList<TKatKlucz>::Entry> all(s.Clf.KeyWords.begin(),
                                                            s.Clf.KeyWords.end());
        const std::string upper = UpperCase1250(word);
        for (size_t len = std::min<size_t>(3, upper.size()); len <= upper.size(); ++len) {
            const std::string key = upper.substr(0, len);
            auto it = std::find_if(all.begin(), all.end(), [&](auto& e) { return e.key == key; });
            if (it == all.end()) {
                all.push_back({key, TKatKlucz{key, {}}});
                it = all.end() - 1;
            }
            for (int c : categories) {
                auto& entries = it->value.Entries;
                if (std::none_of(entries.begin(), entries.end(),
                                 [c](const TIndeks& e) { return e.Index == c; })) {
                    entries.push_back(TIndeks{c});
                }
            }
        }
        s.Clf.KeyWords.Assign(std::move(all));
    }

    void BuildClassification() {
        Classification& c = s.Clf;
        AddCategory("1000", "Managers", "");
        AddCategory("1100", "Senior officials", "");
        AddCategory("1110", "Legislators", "Make laws.");
        AddCategory("1111", "Members of parliament", "Sit in parliament.");
        AddCategory("2211", "Physicians", "Treat patients.");
        AddCategory("2212", "Dentists", "Treat teeth.");
        AddCategory("5141", "Hairdressers", "Cut hair.");
        AddCategory("8322", "Car drivers", "Drive cars.");
        AddCategory("9997", "Missing data", "");
        AddCategory("9998", "Not applicable", "");
        c.MissingDataCode = "9997";
        c.MissingDataName = "Missing data";
        c.NotApplicableCode = "9998";
        c.NotApplicableName = "Not applicable";
        for (int i = 0; i < c.Count(); ++i) {
            c.FullListLines.push_back(c.Category(i).ListText);
            AddKey(c.Category(i).Code, {i});
        }
        AddKey("kierownik", {kManagers, kOfficials});
        AddKey("kierowca", {kDrivers});
        AddKey("lekarz", {kPhysicians, kDentists});
        AddKey("dentysta", {kDentists});
        AddKey("pose\xb3", {kMps});  // poseł
        AddKey("fryzjer", {kHairdressers});
        AddKey(
            "\xbf"
            "o\xb3nierz",
            {kOfficials});  // żołnierz
    }
};

}  // namespace tarnwick::testing
