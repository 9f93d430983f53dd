#pragma once
// What the core needs of the platform. The window implements it with Qt, the command-line tool
// with answers from its input (or none, for work that no person watches), and the tests with
// scripted answers.

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/datetime.h"

namespace tarnwick {

enum class Answer { Yes, No, Cancel };

// What a message box says: news, or a fault that stopped a command or the opening of a project
// (the window shows the error icon for it).
enum class Severity { Information, Fault };

struct FileRequest {
    std::string title;
    std::string filter;         // "parameter files (*.zpa)|*.ZPA": description, bar, mask
    std::string initialFolder;  // empty: the dialog's own choice
    bool keepLastName = false;  // the name box keeps the name chosen in the last use
};

class Platform {
  public:
    virtual ~Platform() = default;
    // A message box with OK.
    virtual void ShowMessage(const std::string& text, Severity severity) = 0;
    // A confirmation box; only Yes counts. `withCancel` adds a Cancel button.
    virtual Answer Ask(const std::string& question, bool withCancel) = 0;
    // The file-open dialog; nullopt when the coder cancels. The answer is a full path.
    virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;
    // The status texts changed: draw them now (lets pending window events run once).
    virtual void StatusChanged() = 0;
    // Long work (`what`, a shown text) has reached `percent`; false when the coder cancels it.
    // Called about once per percent; a run of work ends with 100 or with the cancel.
    virtual bool Progress(std::string_view what, int percent) = 0;
    virtual DateTime Now() = 0;
};

// The next of the answers given beforehand to the questions (a console's input, a test's
// script): No when none is left. A box without Cancel has no such answer; a Cancel given for it
// counts as No.
inline Answer NextGivenAnswer(std::deque<Answer>& answers, bool withCancel) {
    Answer a = Answer::No;
    if (!answers.empty()) {
        a = answers.front();
        answers.pop_front();
    }
    return a == Answer::Cancel && !withCancel ? Answer::No : a;
}

// The next of the answers given beforehand to the file dialogs; nullopt (a cancel) when none is
// left.
inline std::optional<std::string> NextGivenFile(std::deque<std::optional<std::string>>& files) {
    if (files.empty()) return std::nullopt;
    std::optional<std::string> a = std::move(files.front());
    files.pop_front();
    return a;
}

}  // namespace tarnwick
