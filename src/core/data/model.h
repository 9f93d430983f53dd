#pragma once
// The case model: one TOsoba per record of the survey data file, one TZawod per declared
// occupation field. Records keep their bytes once, in the data buffer; cases refer to them.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// One case: a declared occupation field of one respondent.
struct TZawod {
    explicit TZawod(bool toCode) : ToCode(toCode) {}
    bool ToCode = false;
    std::string Code;  // empty: not yet coded
    // The text beside the code. It always points at a string owned by the loaded
    // classification (a category's Name or a standard name), which never changes once the data
    // are read, so a million cases do not each carry a copy.
    std::string_view CodeName;
};

struct TOsoba {
    std::string RespondentId;
    bool HasToCode = false;
    std::vector<TZawod> Occupations;
    std::string_view Record;  // the record's bytes in CaseModel::DataBuffer
};

struct CaseModel {
    std::string DataBuffer;  // the whole survey data file, read once
    std::vector<TOsoba> Respondents;
    int CodedAtStart = 0;
    int CodedCount = 0;
    int ToCodeCount = 0;
};

}  // namespace tarnwick
