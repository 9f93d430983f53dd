#pragma once
// The case model: one TOsoba per record of the survey data file, one TZawod per declared
// occupation field. Records keep their bytes once, in the data buffer; cases refer to them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/mapped_file.h"

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
    // Read from a file, the cases of all respondents lie in one block of the model's arena
    // rather than in a million small allocations; a copied or hand-built respondent uses the
    // ordinary heap.
    std::pmr::vector<TZawod> Occupations;
    std::string_view Record;  // the record's bytes in CaseModel::DataFile (or DataBuffer)
};

// One block of memory handed out in order and released all at once.
class CaseArena {
  public:
    explicit CaseArena(size_t bytes)
        : block_(new std::byte[bytes]), resource_(block_.get(), bytes) {}
    std::pmr::memory_resource* resource() { return &resource_; }
    const std::byte* data() const { return block_.get(); }

  private:
    std::unique_ptr<std::byte[]> block_;
    std::pmr::monotonic_buffer_resource resource_;
};

struct CaseModel {
    // Holds the Occupations of the respondents read from a file. Declared first so that it
    // outlives them.
    std::unique_ptr<CaseArena> Arena;
    // The whole survey data file, mapped once; records read from it are views into it, and a
    // copy of the model shares it.
    std::shared_ptr<const FileBytes> DataFile;
    // The records' bytes of a model built from a string (tests, hand-built models).
    std::string DataBuffer;
    std::vector<TOsoba> Respondents;
    int CodedAtStart = 0;
    int CodedCount = 0;
    int ToCodeCount = 0;
    // Indices into Respondents of the records listed in the respondent selector, in data order.
    std::vector<int> SelectorRecords;

    CaseModel() = default;
    ~CaseModel() = default;
    // Copies and moves keep every Record pointing into this model's own buffer (a short buffer
    // lives inside the string object and moves with it).
    CaseModel(const CaseModel& other) { *this = other; }
    CaseModel(CaseModel&& other) noexcept { *this = std::move(other); }
    CaseModel& operator=(const CaseModel& other) {
        if (this == &other) return *this;
        DataBuffer = other.DataBuffer;
        DataFile = other.DataFile;
        // The copies take their cases from the ordinary heap; ours can then go with our arena.
        std::vector<TOsoba> copies(other.Respondents);
        Respondents = std::move(copies);
        Arena.reset();
        SelectorRecords = other.SelectorRecords;
        CopyCounts(other);
        Rebase(other.DataBuffer.data(), other.DataBuffer.size());
        return *this;
    }
    CaseModel& operator=(CaseModel&& other) noexcept {
        if (this == &other) return *this;
        const char* oldBase = other.DataBuffer.data();
        const size_t oldSize = other.DataBuffer.size();
        // Plain move assignment keeps our old allocation when the source is short; a model of
        // hundreds of megabytes must really go.
        std::string incoming = std::move(other.DataBuffer);
        DataBuffer.swap(incoming);
        incoming = std::string();
        // The file goes after our old respondents, which may point into it.
        std::shared_ptr<const FileBytes> oldFile = std::move(DataFile);
        DataFile = std::move(other.DataFile);
        // Our old respondents go first, while the arena they live in is still there.
        Respondents = std::move(other.Respondents);
        std::unique_ptr<CaseArena> oldArena = std::move(Arena);
        Arena = std::move(other.Arena);
        oldArena.reset();
        oldFile.reset();
        SelectorRecords = std::move(other.SelectorRecords);
        CopyCounts(other);
        Rebase(oldBase, oldSize);
        return *this;
    }

  private:
    void CopyCounts(const CaseModel& other) {
        CodedAtStart = other.CodedAtStart;
        CodedCount = other.CodedCount;
        ToCodeCount = other.ToCodeCount;
    }
    // Points every record view that lay in the old buffer into the same place of ours.
    void Rebase(const char* oldBase, size_t oldSize) {
        const char* newBase = DataBuffer.data();
        if (oldBase == newBase) return;
        const auto lo = reinterpret_cast<std::uintptr_t>(oldBase);
        for (TOsoba& r : Respondents) {
            const auto p = reinterpret_cast<std::uintptr_t>(r.Record.data());
            if (r.Record.data() == nullptr || p < lo || p > lo + oldSize) continue;
            r.Record = std::string_view(newBase + (p - lo), r.Record.size());
        }
    }
};

struct OccupationCounts {
    int respondents = 0;  // respondents with at least one occupation to code
    int toCode = 0;       // occupations to code
    int notCoded = 0;     // of these, without code
};

// The one count of the cases, from each case's ToCode (not from HasToCode).
OccupationCounts CountOccupations(const CaseModel& cases);

// HasToCode := some occupation of the respondent is to be coded.
void UpdateHasToCode(TOsoba& respondent);

}  // namespace tarnwick
