#include "project_generator.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <set>
#include <stdexcept>

#include "core/classification/loader.h"
#include "core/classification/scales.h"

namespace tarnwick::bench {

namespace {

// A small deterministic generator: every run writes the same project.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed * 2654435761ULL + 1) {}
    uint32_t Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(state_ >> 33);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

  private:
    uint64_t state_;
};

const char* const kWords[] = {
    "teacher",  "driver",    "nurse",    "clerk",     "manager",   "welder",   "baker",
    "farmer",   "cleaner",   "engineer", "mechanic",  "cashier",   "joiner",   "plumber",
    "salesman", "designer",  "porter",   "labourer",  "secretary", "tailor",   "painter",
    "operator", "assistant", "foreman",  "inspector", "analyst",   "surveyor", "guard",
    "cook",     "waiter",    "miner",    "fitter",    "printer",   "gardener", "lecturer"};
const char* const kDuties[] = {"repairs machines",   "teaches pupils",   "drives a lorry",
                               "keeps the accounts", "serves customers", "cares for patients",
                               "builds houses",      "cleans offices",   "manages a team",
                               "writes software",    "bakes bread",      "grows vegetables"};
const char* const kIndustries[] = {"Education", "Health",      "Retail trade",  "Construction",
                                   "Transport", "Agriculture", "Manufacturing", "Public service"};

// Field widths of one occupation field in a record.
constexpr int kTitle = 50;
constexpr int kDutiesWidth = 50;
constexpr int kIndustry = 25;
constexpr int kCodes = 10;  // information fields 4..13, two columns each
constexpr int kFieldWidth = kTitle + kDutiesWidth + kIndustry + 2 * kCodes;
constexpr int kIdWidth = 8;
constexpr int kFirstField = kIdWidth + 3;  // after the two filter columns

void Pad(std::string& out, std::string_view text, size_t width) {
    const size_t n = std::min(text.size(), width);
    out.append(text.substr(0, n));
    out.append(width - n, ' ');
}

class Writer {
  public:
    explicit Writer(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
        if (file_ == nullptr) throw std::runtime_error("cannot write " + path);
        buffer_.reserve(kChunk + 4096);
    }
    ~Writer() {
        Flush();
        std::fclose(file_);
    }
    std::string& buffer() { return buffer_; }
    void MaybeFlush() {
        if (buffer_.size() >= kChunk) Flush();
    }
    size_t written() const { return written_ + buffer_.size(); }

  private:
    void Flush() {
        if (!buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
            throw std::runtime_error("cannot write " + path_);
        }
        written_ += buffer_.size();
        buffer_.clear();
    }
    static constexpr size_t kChunk = 4 << 20;
    std::string path_;
    FILE* file_;
    std::string buffer_;
    size_t written_ = 0;
};

std::string Column(int first, int width) {
    return width == 1 ? std::to_string(first)
                      : std::to_string(first) + "-" + std::to_string(first + width - 1);
}

void AppendFieldDeclarations(std::string& text, int start) {
    int col = start;
    text += "#I1 " + Column(col, kTitle) + " 'Job title'\r\n";
    col += kTitle;
    text += "#I2 " + Column(col, kDutiesWidth) + " 'Main duties'\r\n";
    col += kDutiesWidth;
    text += "#I3 " + Column(col, kIndustry) + " 'Industry'\r\n";
    col += kIndustry;
    for (int n = 4; n <= 13; ++n) {
        text += "#I" + std::to_string(n) + " " + Column(col, 2) + " 'Question " +
                std::to_string(n) + "'\r\n";
        for (int v = 1; v <= 9; ++v) {
            text += "#T " + std::to_string(v) + " 'Answer " + std::to_string(v) + " to question " +
                    std::to_string(n) + "'\r\n";
        }
        col += 2;
    }
}

void AppendField(std::string& out, Rng& rng) {
    std::string title = kWords[rng.Below(std::size(kWords))];
    title += ' ';
    title += kWords[rng.Below(std::size(kWords))];
    Pad(out, title, kTitle);
    Pad(out, kDuties[rng.Below(std::size(kDuties))], kDutiesWidth);
    Pad(out, kIndustries[rng.Below(std::size(kIndustries))], kIndustry);
    for (int n = 0; n < kCodes; ++n) {
        const uint32_t v = rng.Below(12);  // 10 and 11 have no label
        if (v < 10) {
            out += ' ';
            out += static_cast<char>('0' + v);
        } else {
            out += std::to_string(v);
        }
    }
}

}  // namespace

std::string GenerateClassificationText(size_t count, std::vector<std::string>* lowestCodes) {
    std::set<std::string> codes;
    for (const std::string& c : BuiltInScaleCodes()) codes.insert(c);
    // Further lowest-level codes, spread over the whole range.
    for (int step : {7, 3, 1}) {
        for (int n = 1; n < 9000 && codes.size() + 2 < count; n += step) {
            if (n % 10 == 0) continue;
            char buf[16];
            std::snprintf(buf, sizeof buf, "%04d", n);
            codes.insert(buf);
        }
    }
    std::vector<std::string> list(codes.begin(), codes.end());
    list.push_back("9998");
    list.push_back("9999");

    Rng rng(7);
    std::string text = "Generated classification for the benchmarks\r\n\r\n";
    text.reserve(list.size() * 400);
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& code = list[i];
        const char* marker = code == "9998" ? "#CM " : code == "9999" ? "#CN " : "#C ";
        text += marker + code + "\r\n";
        if (code == "9998") {
            text += "#N Missing data\r\n#D No answer or not enough information\r\n";
            if (lowestCodes) lowestCodes->push_back(code);
            continue;
        }
        if (code == "9999") {
            text += "#N Not applicable\r\n#D The question does not apply\r\n";
            continue;
        }
        text += "#N Category " + code + " of the generated classification\r\n";
        if (i % 3 != 0) text += "#S Category " + code + "\r\n";
        const bool lowest = i + 1 == list.size() || !IsSubordinate(code, list[i + 1]);
        if (!lowest) continue;
        if (lowestCodes) lowestCodes->push_back(code);
        text += "#D Workers of category " + code + ":";
        for (int k = 0; k < 12; ++k) {
            if (k == 6) text += "\r\n   and also";
            const char* w = kWords[rng.Below(std::size(kWords))];
            text += k % 5 == 3 ? std::string(" {[") + w + "]}" : std::string(" [") + w + "],";
        }
        text += " and others.\r\n";
    }
    return text;
}

std::string GenerateParamsText() {
    std::string text = "Coding parameters of a generated benchmark project\r\n";
    text += "#R 1-8 'Respondent number'\r\n";
    text += "#J ZAWR 'Current job'\r\n";
    AppendFieldDeclarations(text, kFirstField);
    text += "#F 9 1-3\r\n";
    const char* const mnemos[] = {"PRS", "SEI", "EDU", "INC", "CPX", "STD"};
    for (int n = 1; n <= 6; ++n) {
        text += "#S" + std::to_string(n) + " " + mnemos[n - 1] + " 'scale " + std::to_string(n) +
                "'\r\n";
    }
    text += "#X14 C14 'occupational class'\r\n";
    for (int c = 1; c <= 14; ++c) {
        text += "#T " + std::to_string(c) + " 'class " + std::to_string(c) + "'\r\n";
    }
    text += "#J ZAWO 'Father job'\r\n";
    AppendFieldDeclarations(text, kFirstField + kFieldWidth);
    text += "#F 10\r\n";
    text += "#S2 SEI 'scale 2'\r\n#S5 CPX 'scale 5'\r\n";
    text += "#X14 C14 'occupational class'\r\n";
    return text;
}

GeneratedProject GenerateProject(const ProjectSpec& plan) {
    std::filesystem::create_directories(plan.folder);
    GeneratedProject p;
    const std::string base = plan.folder + "/" + plan.stem;
    p.paramsPath = base + ".zpa";
    p.classificationPath = base + ".clf";
    p.dataPath = base + ".dat";
    p.workingPath = base + ".zda";
    p.recordLength = kFirstField - 1 + 2 * kFieldWidth;
    {
        Writer w(p.paramsPath);
        w.buffer() = GenerateParamsText();
    }
    {
        Writer w(p.classificationPath);
        w.buffer() = GenerateClassificationText(plan.categories, &p.lowestCodes);
    }

    Rng rng(plan.seed);
    Writer data(p.dataPath);
    Writer working(p.workingPath);
    char id[32];
    const uint32_t codedPerMille = static_cast<uint32_t>(plan.codedShare * 1000);
    for (size_t r = 0; r < plan.records; ++r) {
        std::snprintf(id, sizeof id, "%08zu", (r + 1) % 100000000);
        std::string& d = data.buffer();
        d += id;
        const char filter1 = static_cast<char>('1' + rng.Below(4));  // 4 is out of range 1-3
        const char filter2 = rng.Below(10) < 3 ? ' ' : '1';
        d += filter1;
        d += filter2;
        AppendField(d, rng);
        AppendField(d, rng);
        d += "\r\n";
        data.MaybeFlush();

        std::string& z = working.buffer();
        z += id;
        for (const bool applicable : {filter1 != '4', filter2 != ' '}) {
            if (!applicable) {
                z += "9999";
            } else if (rng.Below(1000) < codedPerMille) {
                z += rng.Below(20) == 0
                         ? std::string("9998")
                         : p.lowestCodes[rng.Below(static_cast<uint32_t>(p.lowestCodes.size()))];
            } else {
                z += "    ";
            }
        }
        z += "\r\n";
        working.MaybeFlush();
    }
    p.dataBytes = data.written();
    return p;
}

}  // namespace tarnwick::bench
