#pragma once
// The platform of the console: the file dialogs and questions take the answers that the
// commands on its input gave beforehand, and the clock is the real one (a test may fix it).

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "core/project/unattended_platform.h"

namespace tarnwick::cli {

class ConsolePlatform : public UnattendedPlatform {
  public:
    // Answers of the file dialogs in the order asked; nullopt cancels, as does an empty queue.
    std::deque<std::optional<std::string>> fileAnswers;
    // Answers of the questions in the order asked; No when the queue is empty.
    std::deque<Answer> questionAnswers;
    // Called for every question with the answer it got (the console prints both).
    std::function<void(const std::string&, Answer)> onQuestion;

    Answer Ask(const std::string& question, bool withCancel) override {
        const Answer a = NextGivenAnswer(questionAnswers, withCancel);
        if (onQuestion) onQuestion(question, a);
        return a;
    }
    std::optional<std::string> ChooseFile(const FileRequest&) override {
        return NextGivenFile(fileAnswers);
    }
};

}  // namespace tarnwick::cli
