#pragma once
// A classification profile: the small file beside a classification that names it, gives its
// code width and, when the classification does not mark them, its missing-data and
// not-applicable codes, and defines the derived variables an output can carry (value tables and
// groupings of codes). A classification without one is the built-in VKT-2009 with its scales
// and X14.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

struct Classification;

inline constexpr const char* kExtProfile = ".clp";
inline constexpr int kMaxProfileWidth = 8;
inline constexpr size_t kMaxDerivedDigits = 8;

// One derived variable of a profile.
struct DerivedVariable {
    enum class Kind { Table, Grouping };
    Kind Type = Kind::Table;
    std::string Mnemo;  // upper case, 1..3 characters: the suffix of its output variables
    std::string Label;
    int Line = 0;  // of its declaration
    // A table's code that it lacks takes the value of the nearest listed code above it.
    bool Nearest = false;
    // Table rows: code -> value (padded to Width once the profile is read), and where each
    // code was given.
    std::map<std::string, std::string, std::less<>> Values;
    std::map<std::string, int, std::less<>> ValueLines;
    // Grouping rows, sorted by Low, none overlapping: codes Low..High (as text) -> Class.
    struct Range {
        std::string Low, High, Class;
    };
    std::vector<Range> Ranges;
    // Labels of values or classes, by the value padded to Width, in value order.
    std::map<std::string, std::string, std::less<>> Labels;
    // The width of every value in the output, and the two special values: nines ending in 8
    // and nines, one digit wider than the values when those are taken.
    size_t Width = 0;
    std::string Missing;
    std::string NotApplicable;
};

struct ClassificationProfile {
    std::string Path;
    std::string Mnemo;  // suffix of the coded variable's name, as "VKT" is without a profile
    std::string Name;   // shown where the classification is named
    int Width = 0;
    std::string MissingCode, MissingName;              // empty: the classification marks it
    std::string NotApplicableCode, NotApplicableName;  // likewise
    std::vector<DerivedVariable> Variables;

    // Index of the variable with this mnemonic (any letter case), or -1.
    int Find(std::string_view mnemo) const;
};

// Where the profile of a classification file lies: the same folder and stem, extension .clp.
std::string ProfilePathFor(std::string_view classificationPath);

// Reads a profile's text. Every fault appends its lines under one heading naming `path` to
// `errorPage`; true when there was none.
bool ParseProfileText(std::string_view text, const std::string& path, ClassificationProfile& out,
                      std::vector<std::string>& errorPage);

// Reads the profile beside a classification file, when there is one, into `out` (null when
// there is none). False after a fault: one that the page names, or a file that cannot be read.
bool ReadProfileBeside(const std::string& classificationPath,
                       std::shared_ptr<const ClassificationProfile>& out,
                       std::vector<std::string>& errorPage);

// The checks that need the loaded classification: every code a table lists is a category.
bool CheckProfileAgainst(const ClassificationProfile& profile, const Classification& clf,
                         std::vector<std::string>& errorPage);

// The value of a derived variable for a code: blanks for no code, the not-applicable and
// missing-data values for those codes and for a code the variable does not place.
std::string DerivedValue(const Classification& clf, const DerivedVariable& v,
                         std::string_view code);

// What the classification is called and the suffix of its coded variables: the profile's, or
// VKT-2009 and VKT.
const std::string& ClassificationDisplayName(const Classification& clf);
const std::string& ClassificationMnemo(const Classification& clf);

}  // namespace tarnwick
