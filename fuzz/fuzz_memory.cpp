// The coding memory file on any text. A refused file names the line and the reason; an accepted
// one holds every answer of its lines with that line's code and count, writes back to a text that
// reads as the same memory and writes the same again, and ranks its answers with scores from 0 to
// 100. Unlearning every line empties it; learning them again into the freed places gives the same
// memory. Any other text, taken as a case's texts (fields between tabs), is learnt, and the file
// written of that memory must read back.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/suggest/suggest.h"
#include "core/text/lines.h"
#include "fuzz_common.h"

using namespace tarnwick;
using namespace tarnwick::fuzz;

namespace {

const SuggestionEngine& Engine() {
    static const SuggestionEngine engine(SmallClassification());
    return engine;
}

// The parts of `text` between the separators: the fields of a normalised answer, as
// the texts a case would give.
std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> fields;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(separator, from);
        fields.emplace_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) return fields;
        from = at + separator.size();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto memory = CodingMemory::Parse(text, &error);
    if (!memory) {
        FUZZ_CHECK(error.rfind("memory file, line ", 0) == 0);
        // Whatever a case's texts hold, the file the program writes of them reads back.
        CodingMemory learnt;
        learnt.Learn(Split(text, "\t"), "1");
        const auto read = CodingMemory::Parse(learnt.Format(), &error);
        FUZZ_CHECK(read && *read == learnt);
        return 0;
    }
    const std::string written = memory->Format();
    const auto back = CodingMemory::Parse(written, &error);
    FUZZ_CHECK(back && *back == *memory);
    FUZZ_CHECK(back->Format() == written);

    const std::vector<std::string_view> lines = SplitLines(text);
    std::vector<std::tuple<std::vector<std::string>, std::string, uint32_t>> learnt;
    size_t ranked = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty()) continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = line.find('\t', tab1 + 1);
        uint32_t count = 0;
        std::from_chars(line.data(), line.data() + tab1, count);
        const std::string_view code = line.substr(tab1 + 1, tab2 - tab1 - 1);
        const std::vector<std::string> texts = Split(line.substr(tab2 + 1), kAnswerFieldSeparator);
        FUZZ_CHECK(NormaliseAnswer(texts) == line.substr(tab2 + 1));
        // Only a total above 2^32 - 1 for one answer holds its counts back.
        bool found = false;
        for (const auto& c : memory->CodesOf(texts)) {
            found |= c.code == code && c.count > 0 && c.count <= count;
        }
        FUZZ_CHECK(found);
        if (ranked++ < 4) {
            for (const Suggestion& s : Engine().Rank(texts, *memory, 10)) {
                FUZZ_CHECK(s.score >= 0 && s.score <= 100 && !s.code.empty());
            }
        }
        learnt.emplace_back(texts, std::string(code), count);
    }
    for (const auto& [texts, code, count] : learnt) memory->Unlearn(texts, code, count);
    FUZZ_CHECK(memory->AnswerCount() == 0 && *memory == CodingMemory());
    if (!learnt.empty()) Engine().Rank(std::get<0>(learnt[0]), *memory, 10);
    for (const auto& [texts, code, count] : learnt) memory->Learn(texts, code, count);
    FUZZ_CHECK(*memory == *back);
    return 0;
}
