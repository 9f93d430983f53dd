// Writes a generated project into a folder, for the scripts that time whole commands:
//   generate_project FOLDER RECORDS
// prints the paths of the parameters, classification and data files, one a line.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "project_generator.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER RECORDS\n", argv[0]);
        return 2;
    }
    try {
        tarnwick::bench::ProjectSpec plan;
        plan.folder = argv[1];
        plan.records = std::strtoull(argv[2], nullptr, 10);
        const tarnwick::bench::GeneratedProject p = tarnwick::bench::GenerateProject(plan);
        std::printf("%s\n%s\n%s\n", p.paramsPath.c_str(), p.classificationPath.c_str(),
                    p.dataPath.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
