#pragma once
// Generates large coding projects for the benchmarks: a classification, coding parameters with
// two occupation fields of 13 information fields each (answer labels, filters, scales, X14), a
// survey data file and a working file with about half the cases coded. Files are written as
// they are generated, so the generator itself needs little memory.

#include <cstddef>
#include <string>
#include <vector>

namespace tarnwick::bench {

struct ProjectSpec {
    std::string folder;  // created when missing; ends without '/'
    std::string stem = "bench";
    size_t records = 1000000;
    size_t categories = 5000;
    double codedShare = 0.5;  // share of the cases to code that the working file codes
    unsigned seed = 2026;
};

struct GeneratedProject {
    std::string paramsPath;
    std::string classificationPath;
    std::string dataPath;
    std::string workingPath;
    size_t dataBytes = 0;
    size_t recordLength = 0;
    std::vector<std::string> lowestCodes;  // codes a case may be coded with
};

// The text of a valid classification with `count` categories: every code of the built-in
// scales table, further codes up to `count`, 9998 'missing data' and 9999 'not applicable'.
// `lowestCodes` receives the lowest-level codes.
std::string GenerateClassificationText(size_t count, std::vector<std::string>* lowestCodes);

// The coding parameters text matching the generated data records.
std::string GenerateParamsText();

// Writes the four files of a project into plan.folder.
GeneratedProject GenerateProject(const ProjectSpec& plan);

}  // namespace tarnwick::bench
