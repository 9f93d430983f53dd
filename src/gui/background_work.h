#pragma once
// Work the window does beside the coder, on worker threads: the suggestions prepared while the
// coder begins, and the learnt model rebuilt once the memory has stood still for a moment. Each
// result is installed between commands, never in the middle of one.

#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

class QTimer;

namespace tarnwick {
struct PreparedSuggestions;
class LearntModel;
}  // namespace tarnwick

namespace tarnwick::gui {

class CommandRunner;

class BackgroundWork : public QObject {
    Q_OBJECT
  public:
    BackgroundWork(CommandRunner& runner, QObject* parent);
    ~BackgroundWork() override;
    // Prepares the suggestions of the project just opened.
    void StartSuggestions();
    // Stops both workers and waits for them: before the session goes.
    void Stop();

  signals:
    void suggestionsProgress(int percent);  // -1 once they are in, or given up
    void suggestionsInstalled();
    void modelInstalled();

  private:
    void SuggestionsPrepared(const std::shared_ptr<PreparedSuggestions>& prepared);
    // Until the model is in, the memory ranks alone.
    void ConsiderModel();
    void ModelBuilt(const std::shared_ptr<const LearntModel>& model);
    void StopModel();

    CommandRunner& runner_;
    std::thread suggestionsWorker_;
    std::atomic<bool> stopSuggestions_{false};
    QTimer* modelTimer_ = nullptr;
    std::thread modelWorker_;
    std::atomic<bool> stopModel_{false};
    std::uint64_t modelSeen_ = 0;  // the memory's content hash at the last look
};

}  // namespace tarnwick::gui
