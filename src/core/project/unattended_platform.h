#pragma once
// The platform of work that no person watches: learning a project into a memory, loading a team
// project, writing its exports. Nobody is there to choose a file or answer a question, so a
// dialog is cancelled and a question answered No; the messages are kept for the caller to print.
// The clock is the real one.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session/platform.h"

namespace tarnwick {

class UnattendedPlatform : public Platform {
  public:
    // What the core showed, in order.
    std::vector<std::string> messages;
    // Called for every message and progress report as it happens (a console prints them).
    std::function<void(const std::string&, Severity)> onMessage;
    std::function<void(std::string_view, int)> onProgress;
    // Asked at every progress report: true stops the work (Ctrl+C on a console).
    std::function<bool()> stopRequested;
    // The moment Now() gives; the local time when empty.
    std::function<DateTime()> clock;

    void ShowMessage(const std::string& text, Severity severity) override {
        messages.push_back(text);
        if (onMessage) onMessage(text, severity);
    }
    // Kept with the messages: a run that stops on a question (a project locked by another
    // coder) says why instead of ending without a word.
    Answer Ask(const std::string& question, bool) override {
        messages.push_back(question + " No (nobody is there to answer).");
        if (onMessage) onMessage(messages.back(), Severity::Information);
        return Answer::No;
    }
    std::optional<std::string> ChooseFile(const FileRequest&) override { return std::nullopt; }
    void StatusChanged() override {}
    bool Progress(std::string_view what, int percent) override {
        if (onProgress) onProgress(what, percent);
        return !(stopRequested && stopRequested());
    }
    DateTime Now() override { return clock ? clock() : LocalNow(); }
};

}  // namespace tarnwick
