#include "gui/coding_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "core/session/session.h"
#include "gui/convert.h"
#include "gui/main_window.h"

namespace tarnwick::gui {

CodingPage::CodingPage(TForm1* window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName("TabSheet3");
    auto* layout = new QVBoxLayout(this);
    label12_ = new QLabel(this);
    label12_->setObjectName("Label12");
    QFont bold = label12_->font();
    bold.setBold(true);
    label12_->setFont(bold);
    label12_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(label12_);
    layout->addStretch(1);
}

void CodingPage::Render(Session& session) {
    if (session.Params.DokumList.empty()) {
        label12_->clear();
        return;
    }
    label12_->setText(FromBytes(session.Params.DokumList.front().VarName));
}

}  // namespace tarnwick::gui
