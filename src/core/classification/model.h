#pragma once
// The classification: categories in code order, the key-word index and the standard codes.
// Built by the loader and fixed afterwards except for the search flags.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/text/sorted_list.h"

namespace tarnwick {

struct ClassificationProfile;

// The built-in classification, which a classification without a profile is.
inline constexpr const char* kClassificationName = "VKT-2009";
inline constexpr const char* kClassificationMnemo = "VKT";

// A category index wrapped so that it can stand in lists.
struct TIndeks {
    int Index = -1;
};

struct TKat {
    // Sets Code, Level, ListText and IsLowest from the code.
    TKat(std::string code, int codeWidth);

    bool Hit = false;
    bool FirstWordHit = false;
    std::string Code;
    std::string Name;
    std::string ShortLabel;
    bool IsMissingData = false;
    bool IsNotApplicable = false;
    std::string ListText;
    int Level = 1;
    bool IsLowest = true;
    std::string Description;
    // The key words of the description as written between the brackets (upper case), hidden
    // ones included; read by the suggestion engine, which matches whole key words.
    std::vector<std::string> KeyTexts;
};

struct TKatKlucz {
    std::string Key;
    std::vector<TIndeks> Entries;
};

// One row of the built-in occupational scales table.
struct TSkalaKat {
    std::string Code;
    bool Defined = false;
    std::array<std::string, 7> Values{};  // 1..6; "998" where the table has no value
};

struct Classification {
    SortedStringList<TSkalaKat> ScaleTable;
    SortedStringList<TKat> Categories;
    SortedStringList<TKatKlucz> KeyWords;
    std::vector<std::string> ClassificationErrors;
    std::string MissingDataCode;
    std::string MissingDataName;
    std::string NotApplicableCode;
    std::string NotApplicableName;
    // The profile read beside the classification file; none for the built-in VKT-2009.
    std::shared_ptr<const ClassificationProfile> Profile;
    // The lines of the full classification list (each category's ListText), filled by a
    // successful load.
    std::vector<std::string> FullListLines;

    // Index of the category with this code, or -1.
    int IndexOf(std::string_view code) const { return Categories.Find(code); }
    // The name a case shows for this code (empty for no code), the missing-data and
    // not-applicable codes included; none when the classification lacks the code.
    std::optional<std::string_view> NameOf(std::string_view code) const {
        if (code.empty()) return std::string_view();
        if (code == NotApplicableCode) return std::string_view(NotApplicableName);
        if (code == MissingDataCode) return std::string_view(MissingDataName);
        const int i = IndexOf(code);
        if (i < 0) return std::nullopt;
        return std::string_view(Categories[i].Name);
    }
    const TKat& Category(int index) const { return Categories[index]; }
    TKat& Category(int index) { return Categories[index]; }
    int Count() const { return Categories.Count(); }
};

}  // namespace tarnwick
