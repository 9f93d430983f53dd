#include "gui/status_line.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "core/coding/progress.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "gui/convert.h"
#include "gui/widget_style.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

StatusLine::StatusLine(QStatusBar* bar) : QObject(bar) {
    bar->setObjectName("StatusBar1");
    notice_ = new QLabel(bar);
    notice_->setObjectName("StatusPanel0");
    notice_->setMinimumWidth(100);  // and wider for "Saved 1,234 codes to ..."
    progress_ = new QLabel(bar);
    progress_->setObjectName("StatusPanel1");
    pace_ = new QLabel(bar);
    pace_->setObjectName("StatusPanel2");
    suggestions_ = new QProgressBar(bar);
    suggestions_->setObjectName("SuggestionsProgress");
    suggestions_->setRange(0, 100);
    suggestions_->setFormat(FromBytes(msg::kProgressSuggestions) + u" %p%"_s);
    suggestions_->setMaximumWidth(260);
    suggestions_->hide();
    bar->addPermanentWidget(notice_);
    bar->addPermanentWidget(progress_, 1);
    bar->addPermanentWidget(pace_);
    bar->addPermanentWidget(suggestions_);
    bar->setSizeGripEnabled(true);
}

void StatusLine::Draw(const Session& s) {
    notice_->setText(FromBytes(s.StatusNotice));
    progress_->setText(GroupedDigits(FromBytes(s.ProgressText)));
    pace_->setText(s.SessionStarted ? GroupedDigits(FromBytes(CodingPaceText(s))) : QString());
}

void StatusLine::ShowSuggestionsProgress(int percent) {
    suggestions_->setVisible(percent >= 0);
    if (percent >= 0) suggestions_->setValue(percent);
}

}  // namespace tarnwick::gui
