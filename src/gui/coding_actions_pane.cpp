#include "gui/coding_actions_pane.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "core/session/coding_view.h"
#include "core/text/interface_texts.h"
#include "gui/convert.h"
#include "gui/shortcuts.h"
#include "gui/widget_style.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

Key KeyOf(CodingActionsPane::Action action) {
    switch (action) {
        case CodingActionsPane::Action::Code:
            return Key::Code;
        case CodingActionsPane::Action::NotApplicable:
            return Key::NotApplicable;
        case CodingActionsPane::Action::Missing:
            return Key::Missing;
        case CodingActionsPane::Action::Repeat:
            return Key::Repeat;
        case CodingActionsPane::Action::Cancel:
            break;
    }
    return Key::Cancel;
}

}  // namespace

QPushButton* CodingActionsPane::MakeButton(const char* name, const QString& text, Action action) {
    auto* b = new QPushButton(text + u"  "_s + KeyName(KeyOf(action)), this);
    b->setObjectName(name);
    b->setToolTip(ToolTip(KeyOf(action)));
    connect(b, &QPushButton::clicked, this, [this, action] { emit actionRequested(action); });
    buttons_[static_cast<int>(action)] = b;
    return b;
}

CodingActionsPane::CodingActionsPane(QWidget* parent)
    : QGroupBox(FromBytes(UiText(Ui::CodingActions)), parent) {
    setObjectName("GroupBox4");
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    auto text = [](Ui ui) { return FromBytes(UiText(ui)); };
    grid->addWidget(MakeButton("Button1", text(Ui::NotApplicableButton), Action::NotApplicable), 0,
                    0);
    grid->addWidget(MakeButton("Button2", text(Ui::MissingButton), Action::Missing), 0, 1, 1, 2);
    grid->addWidget(MakeButton("Button4", text(Ui::CancelButton), Action::Cancel), 1, 0);
    grid->addWidget(MakeButton("Button3", text(Ui::RepeatButton), Action::Repeat), 1, 1);
    lastCodeEdit_ = new QLineEdit(this);
    lastCodeEdit_->setObjectName("Edit2");
    lastCodeEdit_->setReadOnly(true);
    lastCodeEdit_->setFont(Bold(lastCodeEdit_->font()));
    lastCodeEdit_->setFixedWidth(60);
    lastCodeEdit_->setAlignment(Qt::AlignCenter);
    grid->addWidget(lastCodeEdit_, 1, 2);
    QPushButton* code = MakeButton("BitBtn5", text(Ui::CodeButton), Action::Code);
    code->setIcon(TickIcon());
    code->setIconSize(QSize(26, 26));
    QFont codeFont = Bold(code->font());
    codeFont.setPointSizeF(codeFont.pointSizeF() * 1.3);
    code->setFont(codeFont);
    code->setMinimumSize(120, 62);
    code->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    code->setToolTip(ToolTip(Key::Code) + u"; Enter on a line codes that line"_s);
    grid->addWidget(code, 0, 3, 2, 1);
    grid->setColumnStretch(3, 1);
}

void CodingActionsPane::Click(Action action) { buttons_[static_cast<int>(action)]->click(); }

void CodingActionsPane::Render(const CodingView& v) {
    lastCodeEdit_->setText(FromBytes(v.LastCodeText));
    lastCodeEdit_->setToolTip(FromBytes(v.LastCodeHint));
}

}  // namespace tarnwick::gui
