#pragma once
// Reading the survey data file into the case model.

#include <string>
#include <string_view>

#include "core/data/model.h"
#include "core/params/model.h"

namespace tarnwick {

class Session;

struct OccupationCounts {
    int respondents = 0;  // respondents with at least one occupation to code
    int toCode = 0;       // occupations to code
    int notCoded = 0;     // of these, without code
};

// Counts from each case's ToCode, not from HasToCode.
OccupationCounts CountOccupations(const CaseModel& cases);

// HasToCode := some occupation of the respondent is to be coded.
void UpdateHasToCode(TOsoba& respondent);

// The text shown for information field n (1..13) of occupation field `d` in `record`: the cut
// text, or its answer label when labels are declared (the normalised code when none matches).
// Empty when the field is not declared.
std::string InfoText(const TDokumZaw& d, std::string_view record, int n);

// The length every record must reach: the last column of the respondent identifier and of every
// declared information field (filters do not count); 0 when no occupation field is declared.
int MinimumRecordLength(const CodingParams& params);

// The data step of opening a project: reads ProjectFolder + DataStem + DataExt, merges the
// working file, counts, fills the report. Shows its own message box and returns false on a
// fault. Throws IoError when a file cannot be read.
bool ReadInputData(Session& session);

}  // namespace tarnwick
