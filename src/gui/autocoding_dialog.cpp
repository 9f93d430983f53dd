#include "gui/autocoding_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "core/project/autocoding_offer.h"
#include "core/project/review.h"
#include "core/session/session.h"
#include "gui/command_runner.h"
#include "gui/convert.h"
#include "gui/qt_platform.h"
#include "gui/window_texts.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

AutoCodingDialog::AutoCodingDialog(QWidget* parent,
                                   std::function<std::optional<Estimate>(double)> estimate)
    : QDialog(parent), estimate_(std::move(estimate)) {
    setObjectName("AutoCodingDialog");
    setWindowTitle(FromBytes(msg::kAutoCodingTitle));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(FromBytes(msg::kAutoCodingIntro), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* row = new QHBoxLayout();
    auto* label = new QLabel(FromBytes(msg::kAutoCodingTarget), this);
    target_ = new QDoubleSpinBox(this);
    target_->setObjectName("AutoCodingTarget");
    target_->setRange(0.5, 30.0);
    target_->setSingleStep(0.5);
    target_->setDecimals(1);
    target_->setSuffix(u" %"_s);
    target_->setValue(5.0);
    label->setBuddy(target_);
    estimateButton_ = new QPushButton(FromBytes(msg::kAutoCodingEstimate), this);
    estimateButton_->setObjectName("AutoCodingEstimate");
    row->addWidget(label);
    row->addWidget(target_);
    row->addWidget(estimateButton_);
    row->addStretch(1);
    layout->addLayout(row);

    figures_ = new QLabel(FromBytes(msg::kAutoCodingPressEstimate), this);
    figures_->setObjectName("AutoCodingFigures");
    figures_->setWordWrap(true);
    figures_->setMinimumHeight(figures_->fontMetrics().height() * 4);
    figures_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    figures_->setFrameShape(QFrame::StyledPanel);
    figures_->setMargin(6);
    figures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(figures_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    // The style's "&Close" would share Alt+C with Code, and a shared mnemonic only moves the
    // focus between the two; Escape closes.
    buttons->button(QDialogButtonBox::Close)->setText(FromBytes(msg::kAutoCodingClose));
    codeButton_ = buttons->addButton(FromBytes(msg::kAutoCodingCode), QDialogButtonBox::AcceptRole);
    codeButton_->setObjectName("AutoCodingCode");
    codeButton_->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(estimateButton_, &QPushButton::clicked, this, &AutoCodingDialog::RunEstimate);
    // The figures belong to the target they were estimated for.
    connect(target_, &QDoubleSpinBox::valueChanged, this, [this] {
        codeButton_->setEnabled(false);
        estimateButton_->setDefault(true);
        figures_->setText(FromBytes(msg::kAutoCodingPressEstimate));
    });
    estimateButton_->setDefault(true);
    target_->setFocus();
    resize(560, sizeHint().height());
}

double AutoCodingDialog::Target() const { return target_->value() / 100.0; }

void AutoCodingDialog::RunEstimate() {
    // The window works on it meanwhile: nothing here may start it again or code.
    setEnabled(false);
    const std::optional<Estimate> found = estimate_(Target());
    setEnabled(true);
    if (!found) return;  // cancelled: the figures before still hold, or none
    figures_->setText(found->text);
    codeButton_->setEnabled(found->canCode);
    if (found->canCode) {
        codeButton_->setDefault(true);
        codeButton_->setFocus();
    } else {
        target_->setFocus();
    }
}

std::optional<int> AskReviewSampleSize(QWidget* parent, int coded) {
    QDialog dialog(parent);
    dialog.setObjectName("ReviewOfferDialog");
    dialog.setWindowTitle(FromBytes(msg::kReviewOfferTitle));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(FromBytes(msg::ReviewOffer(coded)), &dialog);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* row = new QHBoxLayout();
    auto* label = new QLabel(FromBytes(msg::kReviewSampleSize), &dialog);
    auto* size = new QSpinBox(&dialog);
    size->setObjectName("ReviewSampleSize");
    size->setRange(1, std::max(1, coded));
    size->setValue(std::min(50, coded));
    label->setBuddy(size);
    row->addWidget(label);
    row->addWidget(size);
    row->addStretch(1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* now = buttons->addButton(FromBytes(msg::kReviewNow), QDialogButtonBox::AcceptRole);
    now->setObjectName("ReviewNow");
    now->setDefault(true);
    buttons->addButton(FromBytes(msg::kReviewLater), QDialogButtonBox::RejectRole)
        ->setObjectName("ReviewLater");
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    size->setFocus();
    size->selectAll();
    dialog.resize(480, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return size->value();
}

namespace {

void OfferReview(QWidget* parent, CommandRunner& runner, int coded, const AutoCodingOffer& offer) {
    const std::optional<int> size = AskReviewSampleSize(parent, coded);
    if (!size) return;
    const uint64_t seed = QRandomGenerator::global()->generate64();
    runner.Run([&](Session& s) {
        if (DrawAndSaveReviewSample(s, offer.plan, static_cast<size_t>(*size), seed) > 0) {
            StartReview(s);
        }
    });
}

}  // namespace

void RunAutoCoding(QWidget* parent, CommandRunner& runner,
                   const std::function<void()>& backToCoding) {
    if (const std::string refusal = AutoCodingRefusal(runner.session()); !refusal.empty()) {
        runner.platform().ShowMessage(refusal, Severity::Information);
        return;
    }
    std::optional<AutoCodingOffer> offer;
    auto estimate = [&](double target) -> std::optional<AutoCodingDialog::Estimate> {
        std::optional<AutoCodingOffer> made;
        // The first estimate learns from the cases coded so far; a new target reuses it.
        const bool calibrate = !offer;
        runner.RunLong([&](Session& s) {
            try {
                made = OfferAutoCoding(s, target, calibrate);
            } catch (const WorkCancelled&) {
                // Stopped on the progress bar: the session is as it was.
            }
        });
        if (!made) return std::nullopt;
        offer = std::move(made);
        return AutoCodingDialog::Estimate{FromBytes(AutoCodingOfferText(*offer)), offer->CanCode()};
    };
    AutoCodingDialog dialog(parent, estimate);
    if (dialog.exec() != QDialog::Accepted || !offer || !offer->CanCode()) return;
    int coded = 0;
    runner.Run([&](Session& s) { coded = ApplyAutoCoding(s, offer->plan); });
    backToCoding();
    if (coded <= 0) return;
    OfferReview(parent, runner, coded, *offer);
    backToCoding();
}

}  // namespace tarnwick::gui
