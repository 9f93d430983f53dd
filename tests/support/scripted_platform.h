#pragma once
// A Platform with scripted answers and a clock that stands still, for the tests, the benchmarks
// and the fuzz targets.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/session/platform.h"

namespace tarnwick {

class ScriptedPlatform : public Platform {
  public:
    // Answers of the file dialogs in the order asked; nullopt cancels. When the queue is
    // empty, a dialog is cancelled.
    std::deque<std::optional<std::string>> fileAnswers;
    // Answers of the questions in the order asked; when empty, No.
    std::deque<Answer> questionAnswers;
    // The moment Now() gives; advanced by hand in tests.
    DateTime now{2026, 12, 7, 0, 37, 40};
    // The first progress report at or past this percent answers Cancel (once).
    std::optional<int> cancelAtPercent;

    // What the core showed.
    std::vector<std::string> messages;
    std::vector<Severity> severities;  // one per message
    std::vector<std::string> questions;
    std::vector<FileRequest> fileRequests;
    int statusChanges = 0;
    std::vector<std::pair<std::string, int>> progress;

    // Called for every message / question as it happens (the console prints them).
    std::function<void(const std::string&)> onMessage;
    std::function<void(const std::string&, Answer)> onQuestion;
    std::function<void(std::string_view, int)> onProgress;

    void ShowMessage(const std::string& text, Severity severity) override {
        messages.push_back(text);
        severities.push_back(severity);
        if (onMessage) onMessage(text);
    }
    Answer Ask(const std::string& question, bool withCancel) override {
        questions.push_back(question);
        const Answer a = NextGivenAnswer(questionAnswers, withCancel);
        if (onQuestion) onQuestion(question, a);
        return a;
    }
    std::optional<std::string> ChooseFile(const FileRequest& request) override {
        fileRequests.push_back(request);
        return NextGivenFile(fileAnswers);
    }
    void StatusChanged() override { ++statusChanges; }
    bool Progress(std::string_view what, int percent) override {
        progress.emplace_back(what, percent);
        if (onProgress) onProgress(what, percent);
        if (cancelAtPercent && percent >= *cancelAtPercent) {
            cancelAtPercent.reset();
            return false;
        }
        return true;
    }
    DateTime Now() override { return now; }
};

}  // namespace tarnwick
