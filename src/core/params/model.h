#pragma once
// The coding parameters of a project: where the respondent identifier, each occupation field's
// information fields and its filter lie in a data record, answer labels, and which derived
// variables the output carries. Filled once by the parser, read-only afterwards.

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text/sorted_list.h"

namespace tarnwick {

inline constexpr int kInfoFields = 13;
inline constexpr int kScales = 6;
inline constexpr const char* kScaleNotApplicable = "999";
inline constexpr const char* kScaleMissing = "998";
inline constexpr const char* kX14NotApplicable = "99";
inline constexpr const char* kX14Missing = "98";
inline constexpr const char* kRespIdMnemo = "REC_ID";

// One code with its label.
struct TTekstOdp {
    std::string Code;
    std::string Text;
};

using LabelList = SortedStringList<TTekstOdp>;

// A derived variable of the classification's profile that an occupation field asks for with a
// #V line: the profile's mnemonic, which also suffixes the output variable, and the name its
// label takes (empty: the profile's own label).
struct DerivedRequest {
    std::string Mnemo;
    std::string Name;
    int Line = 0;  // where it is asked for, so that a profile without it is told precisely
    std::string LineText;
};

// One declared occupation field. Arrays are indexed 1..13 and 1..6; element 0 is unused so that
// the numbers of the file are the indices of the code.
struct TDokumZaw {
    TDokumZaw(std::string mnemo, std::string name)
        : VarName(std::move(name)), VarMnemo(std::move(mnemo)) {}

    std::string VarName;
    std::string VarMnemo;
    int FilterPos = 0;
    int FilterWidth = 0;
    std::string FilterLow;
    std::string FilterHigh;
    std::array<int, kInfoFields + 1> InfoPos{};
    std::array<int, kInfoFields + 1> InfoWidth{};
    std::array<std::string, kInfoFields + 1> InfoDescr{};
    std::array<LabelList, kInfoFields + 1> InfoLabels{};
    bool HasScales = false;
    std::array<std::string, kScales + 1> ScaleMnemo{};
    std::array<std::string, kScales + 1> ScaleName{};
    std::string X14Mnemo;
    std::string X14Name;
    LabelList X14Labels;
    std::vector<DerivedRequest> Derived;  // in the order of their lines
};

// The whole model. A default-constructed one is the state before the first parse.
struct CodingParams {
    std::vector<TDokumZaw> DokumList;
    int RespIdPos = 0;
    int RespIdWidth = 0;
    std::string RespIdMnemo;
    std::string RespIdLabel;
    bool X14Declared = false;
    bool ScalesDeclared = false;
    LabelList X14LabelList;
    int CodeWidth = 0;
    // The #S1..#S6 and #X14 lines stored, by number and text: they belong to the built-in
    // classification, which a classification with a profile is not.
    std::vector<std::pair<int, std::string>> BuiltInDerivedLines;
};

// The filter rule: is the occupation of field `d` to be coded in this record?
bool IsApplicable(const TDokumZaw& d, std::string_view record);

// The text shown for information field n (1..13) of occupation field `d` in `record`: the cut
// text, or its answer label when labels are declared (the normalised code when none matches).
// Empty when the field is not declared.
std::string InfoText(const TDokumZaw& d, std::string_view record, int n);

// The length every record must reach: the last column of the respondent identifier and of every
// declared information field (filters do not count); 0 when no occupation field is declared.
int MinimumRecordLength(const CodingParams& params);

}  // namespace tarnwick
