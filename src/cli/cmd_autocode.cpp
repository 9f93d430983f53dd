// tarnwick-cli autocode: codes without a person the cases whose first suggestion is trusted enough
// to keep the error at a target, in a project or over CSV files.

#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <ostream>

#include "cli/cli_texts.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/csv.h"
#include "cli/suggest_inputs.h"
#include "cli/terminal_progress.h"
#include "core/io/files.h"
#include "core/project/autocoding.h"
#include "core/project/opening.h"
#include "core/project/review.h"
#include "core/project/saving.h"
#include "core/project/suggestions.h"
#include "core/project/unattended_platform.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

// Ctrl+C stops the work at its next progress report instead of ending the program between a
// code and its save; once the codes are being given, it waits until they are saved.
class InterruptGuard {
  public:
    InterruptGuard() {
        interrupted = 0;
        previous_ = std::signal(SIGINT, [](int) { interrupted = 1; });
    }
    ~InterruptGuard() { std::signal(SIGINT, previous_); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    void (*previous_)(int) = SIG_DFL;
};

// Reports to the terminal's progress line through the platform, and stops on Ctrl+C.
WorkProgress Reporting(Platform& platform, const char* what) {
    return {[&platform, what](int percent) { return platform.Progress(what, percent); }};
}

// The figures of a plan, the same for a dry run, a run and a refusal's first lines.
void PrintPlan(const AutoCodingPlan& plan, const std::string& source, size_t calibrationCases,
               std::ostream& out) {
    const ThresholdChoice& t = plan.threshold;
    out << "calibration: " << calibrationCases << " coded answers (" << source << ")\n";
    out << "target error: " << AutoPercent(t.target) << '\n';
    if (!t.Promised()) return;
    char line[64];
    std::snprintf(line, sizeof line, "%.3f", t.threshold);
    out << "threshold: confidence " << line << " (" << t.casesAbove << " of " << t.cases
        << " coded answers at or above it, " << t.errorsAbove << " of them wrong)\n";
    const size_t considered = plan.casesConsidered;
    out << "cases coded automatically: " << plan.casesChosen << " of " << considered << " ("
        << AutoPercent(considered
                           ? static_cast<double>(plan.casesChosen) / static_cast<double>(considered)
                           : 0.0)
        << ")\n";
    out << "cases left to coders: " << considered - plan.casesChosen << '\n';
    const double estimated =
        plan.casesChosen ? plan.expectedErrors / static_cast<double>(plan.casesChosen) : 0.0;
    out << "estimated error: " << AutoPercent(estimated)
        << " (95 %: " << AutoRange(plan.errorInterval) << ")\n";
}

// Why nothing is coded, or nothing for a plan that promises.
std::string Refusal(const ThresholdChoice& t) {
    switch (t.outcome) {
        case ThresholdOutcome::Promised:
            return {};
        case ThresholdOutcome::TooFewCases:
            return msg::AutoCodeTooFewCases(AutoPercent(t.target), t.cases, t.moreCases);
        case ThresholdOutcome::Unreachable:
            return msg::AutoCodeUnreachable(AutoPercent(t.target));
        case ThresholdOutcome::BadTarget:
            break;
    }
    return msg::kAutoCodeBadTarget;
}

}  // namespace

int AutoCodeProject(const AutoCodeRequest& r, std::ostream& out, std::ostream& err,
                    bool progressLine) {
    UnattendedPlatform platform;
    Session session(platform);
    TerminalProgress progress(platform, err, progressLine);
    InterruptGuard guard;
    platform.stopRequested = [] { return interrupted != 0; };
    try {
        std::vector<CodedCase> labelled;
        if (!r.calibration.empty()) {
            Answers answers;
            int code = kOk;
            if (!ReadAnswers(r.calibration, true, answers, err, code)) return code;
            labelled = LabelledCases(answers);
        }
        if (!r.memory.empty() && !FileExists(r.memory)) {
            err << r.memory << ": " << msg::kNoSuchMemoryFile << '\n';
            return kIoOrUsage;
        }
        std::vector<std::string> faults;
        const bool opened = OpenProjectFiles(session, platform, r.params, r.clf, r.data, faults);
        progress.Clear();
        if (!opened) {
            for (const std::string& line : faults) out << line << '\n';
            return kFaults;
        }
        if (r.reviewResult) {
            const std::string path = ReviewSamplePath(session);
            if (!FileExists(path)) {
                err << msg::kNoReviewSample << '\n';
                return kFaults;
            }
            const ReviewSampleReading reading = LoadReviewSample(path);
            for (const std::string& fault : reading.faults) err << fault << '\n';
            out << ReviewResultLine(SummariseReview(reading.cases)) << '\n';
            return kOk;
        }
        if (session.ReadOnly) {
            err << msg::kAutoCodeReadOnly << '\n';
            return kFaults;
        }
        if (!r.memory.empty()) session.MemoryPath = r.memory;
        PrepareSuggestions(session);
        if (!session.Suggester || session.Suggester->CategoryCount() == 0) {
            err << msg::kAutoCodeNoEngine << '\n';
            return kFaults;
        }
        const bool fromProject = r.calibration.empty();
        if (fromProject) labelled = PersonCodedCases(session);
        const AutoCodingCalibration calibration = CalibrateAutoCoding(
            session, labelled, fromProject, Reporting(platform, "Calibrating the confidence"));
        const ProjectAutoCodingPlan plan =
            PlanProjectAutoCoding(session, calibration.calibration, r.maxError,
                                  Reporting(platform, "Ranking the cases to code"));
        progress.Clear();
        PrintPlan(plan.plan,
                  fromProject ? std::string("cases coded in this project, each left out in turn")
                              : r.calibration,
                  calibration.cases, out);
        if (const std::string why = Refusal(plan.plan.threshold); !why.empty()) {
            err << why << '\n';
            return kFaults;
        }
        if (r.dryRun) {
            out << msg::kAutoCodeDryRun << '\n';
            return kOk;
        }
        // From here the codes are given and saved together; Ctrl+C waits for the save.
        platform.stopRequested = nullptr;
        const int coded = ApplyAutoCoding(session, plan);
        if (coded > 0) {
            out << session.Report.back() << '\n';  // what was coded, before the save's line
            SaveWorkingFile(session, false);
        }
        if (coded > 0 && r.reviewSample > 0) {
            const uint64_t seed = r.seed != 0 ? r.seed : static_cast<uint64_t>(std::time(nullptr));
            if (DrawAndSaveReviewSample(session, plan, r.reviewSample, seed) > 0) {
                out << session.Report.back() << '\n';
            }
        }
    } catch (const WorkCancelled&) {
        progress.Clear();
        err << msg::kAutoCodeInterrupted << '\n';
        return 130;
    } catch (const IoError& e) {
        progress.Clear();
        err << e.what() << '\n';
        return kIoOrUsage;
    }
    return kOk;
}

int AutoCodeFiles(const AutoCodeRequest& r, std::ostream& out, std::ostream& err) {
    int code = kOk;
    Inputs in;
    if (r.calibration.empty()) {
        err << msg::kAutoCodeFilesNeedCalibration << '\n';
        return kIoOrUsage;
    }
    if (!LoadInputs(r.clf, r.memory, r.answers, false, in, err, err, code)) return code;
    Answers labelled;
    if (!ReadAnswers(r.calibration, true, labelled, err, code)) return code;
    const SuggestionEngine engine(in.clf);
    const std::vector<CalibrationPair> pairs =
        LeaveOneOut(engine, in.memory, LabelledCases(labelled));
    const ConfidenceCalibration calibration = ConfidenceCalibration::Fit(pairs);
    std::vector<CandidateCase> candidates;
    candidates.reserve(in.answers.ids.size());
    for (const auto& texts : in.answers.texts) candidates.push_back({texts, true, false});
    const AutoCodingPlan plan =
        PlanAutoCoding(engine, in.memory, calibration, candidates, r.maxError);
    PrintPlan(plan, r.calibration, calibration.CaseCount(), err);
    if (const std::string why = Refusal(plan.threshold); !why.empty()) {
        err << why << '\n';
        return kFaults;
    }
    // In the order of the answers, as a pipeline joins them back.
    std::vector<const PlannedAnswer*> byCase(candidates.size(), nullptr);
    for (const PlannedAnswer& a : plan.answers) {
        if (!a.chosen) continue;
        for (size_t i : a.cases) byCase[i] = &a;
    }
    out << "id,code,confidence\n";
    for (size_t i = 0; i < byCase.size(); ++i) {
        if (!byCase[i]) continue;
        char confidence[32];
        std::snprintf(confidence, sizeof confidence, "%.4f", byCase[i]->confidence);
        out << CsvField(in.answers.ids[i]) << ',' << CsvField(byCase[i]->code) << ',' << confidence
            << '\n';
    }
    return kOk;
}

void AddAutoCodeCommand(CLI::App& app, CommandRun& run) {
    struct Options {
        std::vector<std::string> files;
        AutoCodeRequest request;
    };
    auto o = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "autocode",
        "Code the cases whose first suggestion keeps the error at a target: in a project "
        "(PARAMS CLASSIFICATION DATA) or over files (CLASSIFICATION ANSWERS.csv, printing "
        "id,code,confidence)");
    cmd->add_option("FILES", o->files, "PARAMS CLASSIFICATION DATA, or CLASSIFICATION ANSWERS")
        ->required()
        ->expected(2, 3);
    cmd->add_option("--max-error", o->request.maxError,
                    "the error allowed among the automatic codes, a share such as 0.05")
        ->check(Share());
    cmd->add_option("--calibration", o->request.calibration,
                    "labelled CSV (id, code, texts) to calibrate on instead of the project's "
                    "coded cases; required over files");
    cmd->add_option("--memory", o->request.memory, "coding memory file");
    cmd->add_flag("--dry-run", o->request.dryRun, "print the figures and change nothing");
    cmd->add_option("--review-sample", o->request.reviewSample,
                    "draw N of the cases coded as the project's review sample")
        ->check(CLI::Range(1, 1000000));
    cmd->add_option("--seed", o->request.seed, "of the review sample's draw (default: the clock)");
    cmd->add_flag("--review-result", o->request.reviewResult,
                  "print what the review of the project's sample found, and code nothing");
    cmd->callback([o, &run] {
        AutoCodeRequest& r = o->request;
        if (r.maxError < 0 && !(r.reviewResult && o->files.size() == 3)) {
            std::cerr << msg::kAutoCodeNeedsMaxError << '\n';
            run.code = kIoOrUsage;
            return;
        }
        if (o->files.size() == 3) {
            r.params = o->files[0];
            r.clf = o->files[1];
            r.data = o->files[2];
            run.code = AutoCodeProject(r, std::cout, std::cerr, run.progressLine);
        } else {
            r.clf = o->files[0];
            r.answers = o->files[1];
            run.code = AutoCodeFiles(r, std::cout, std::cerr);
        }
    });
}

}  // namespace tarnwick::cli
