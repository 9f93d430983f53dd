#include "gui/background_work.h"

#include <QTimer>
#include <exception>

#include "core/project/suggestions.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "gui/command_runner.h"

namespace tarnwick::gui {

BackgroundWork::BackgroundWork(CommandRunner& runner, QObject* parent)
    : QObject(parent), runner_(runner) {
    modelTimer_ = new QTimer(this);
    modelTimer_->setInterval(2000);
    connect(modelTimer_, &QTimer::timeout, this, &BackgroundWork::ConsiderModel);
    modelTimer_->start();
}

BackgroundWork::~BackgroundWork() { Stop(); }

void BackgroundWork::Stop() {
    StopModel();
    stopSuggestions_ = true;
    if (suggestionsWorker_.joinable()) suggestionsWorker_.join();
}

void BackgroundWork::StopModel() {
    stopModel_ = true;
    if (modelWorker_.joinable()) modelWorker_.join();
}

void BackgroundWork::ConsiderModel() {
    Session& s = runner_.session();
    if (runner_.Busy() || modelWorker_.joinable() || suggestionsWorker_.joinable() ||
        !s.Suggester) {
        return;
    }
    const uint64_t hash = s.Memory.ContentHash();
    const bool moved = hash != modelSeen_;
    modelSeen_ = hash;
    // While the coder codes, the memory changes every few seconds: a model of each state would
    // be out of date before it is in.
    if (moved || s.Memory.Model() != nullptr ||
        s.Memory.AnswerCount() < SuggestionEngine::kModelAnswers) {
        return;
    }
    auto source =
        std::make_shared<ModelSource>(s.Memory.ModelSnapshot(SuggestionEngine::kModelMostAnswers));
    const SuggestionEngine* engine = s.Suggester.get();  // replaced only after StopModel
    stopModel_ = false;
    modelWorker_ = std::thread([this, source, engine] {
        const WorkProgress progress{[this](int) { return !stopModel_.load(); }};
        std::shared_ptr<const LearntModel> model;
        try {
            model = engine->BuildModel(*source, progress);
        } catch (const std::exception&) {
            // Stopped, or out of memory: the memory goes on ranking alone.
        }
        QMetaObject::invokeMethod(
            this, [this, model] { ModelBuilt(model); }, Qt::QueuedConnection);
    });
}

void BackgroundWork::ModelBuilt(const std::shared_ptr<const LearntModel>& model) {
    if (runner_.Busy()) {  // a command holds the session: come back when it is done
        QTimer::singleShot(50, this, [this, model] { ModelBuilt(model); });
        return;
    }
    if (modelWorker_.joinable()) modelWorker_.join();
    Session& s = runner_.session();
    if (!model || !s.Suggester) return;
    // Kept even when the memory moved on meanwhile: an undo may bring it back. The case shown
    // keeps its list; the next one is ranked with the model.
    s.Memory.KeepModel(model);
    s.SetStatusNotice(msg::LearntModelBuilt(model->Documents(), model->Bytes(), model->seconds));
    emit modelInstalled();
}

void BackgroundWork::StartSuggestions() {
    Stop();
    stopSuggestions_ = false;
    auto sources = std::make_shared<SuggestionSources>(BeginSuggestions(runner_.session()));
    emit suggestionsProgress(0);
    suggestionsWorker_ = std::thread([this, sources] {
        const WorkProgress progress{[this](int percent) {
            QMetaObject::invokeMethod(
                this, [this, percent] { emit suggestionsProgress(percent); }, Qt::QueuedConnection);
            return !stopSuggestions_.load();
        }};
        std::shared_ptr<PreparedSuggestions> prepared;
        try {
            prepared = std::make_shared<PreparedSuggestions>(BuildSuggestions(*sources, progress));
        } catch (const std::exception&) {
            // Stopped, or out of memory: the session goes on without suggestions.
        }
        QMetaObject::invokeMethod(
            this, [this, prepared] { SuggestionsPrepared(prepared); }, Qt::QueuedConnection);
    });
}

void BackgroundWork::SuggestionsPrepared(const std::shared_ptr<PreparedSuggestions>& prepared) {
    if (runner_.Busy()) {
        QTimer::singleShot(50, this, [this, prepared] { SuggestionsPrepared(prepared); });
        return;
    }
    if (suggestionsWorker_.joinable()) suggestionsWorker_.join();
    emit suggestionsProgress(-1);
    if (prepared) {
        InstallSuggestions(runner_.session(), std::move(*prepared));
    } else {
        AbandonSuggestions(runner_.session());
    }
    emit suggestionsInstalled();
}

}  // namespace tarnwick::gui
