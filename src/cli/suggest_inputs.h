#pragma once
// The inputs of the suggestion commands (suggest, evaluate, learn): a classification, a memory
// file and a CSV file of answers. Each loader says what is wrong and sets the exit status.

#include <iosfwd>
#include <string>
#include <vector>

#include "core/classification/model.h"
#include "core/suggest/confidence.h"
#include "core/suggest/suggest.h"

namespace tarnwick::cli {

// The memory file, when one is named; false after saying what is wrong, `code` then holding
// the exit status.
bool LoadMemory(const std::string& file, CodingMemory& memory, std::ostream& err, int& code);

// The answers of a CSV file: an `id` column, a `code` column when asked for, a `group` column
// when there is one, and every other column a text, in the order of the information fields.
// Texts become Windows-1250. The group (what `evaluate` keeps together when it learns, such as
// the occupation a job title names) is no answer of the respondent, so it is not ranked.
struct Answers {
    std::vector<std::string> ids;
    std::vector<std::string> codes;
    std::vector<std::vector<std::string>> texts;
    std::vector<std::string> groups;  // empty without a `group` column
};

// Any classification file, also one without the basic categories of the built-in scales table;
// false after saying what is wrong.
bool LoadAnyClassification(const std::string& file, Classification& clf, std::ostream& out,
                           std::ostream& err, int& code);

// The answers of a CSV file (with a `code` column when `withCode`); false after saying what is
// wrong.
bool ReadAnswers(const std::string& file, bool withCode, Answers& answers, std::ostream& err,
                 int& code);

// The coded answers of a labelled CSV file as the calibration takes them.
std::vector<CodedCase> LabelledCases(const Answers& labelled);

// The three inputs of `suggest` and `evaluate`; false after saying what is wrong, `code` then
// holding the exit status.
struct Inputs {
    Classification clf;
    CodingMemory memory;
    Answers answers;
};
bool LoadInputs(const std::string& clfFile, const std::string& memoryFile,
                const std::string& answersFile, bool withCode, Inputs& in, std::ostream& out,
                std::ostream& err, int& code);

}  // namespace tarnwick::cli
