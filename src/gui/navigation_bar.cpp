#include "gui/navigation_bar.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "gui/convert.h"
#include "gui/list_models.h"
#include "gui/shortcuts.h"
#include "gui/widget_style.h"

namespace tarnwick::gui {

namespace {

Key KeyOf(NavigationBar::Move move) {
    switch (move) {
        case NavigationBar::Move::PreviousRecord:
            return Key::PreviousRecord;
        case NavigationBar::Move::NextRecord:
            return Key::NextRecord;
        case NavigationBar::Move::PreviousOccupation:
            return Key::PreviousOccupation;
        case NavigationBar::Move::NextOccupation:
            break;
    }
    return Key::NextOccupation;
}

}  // namespace

QToolButton* NavigationBar::MakeArrow(const char* name, bool forward, bool twice, Move move) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setIcon(ArrowIcon(forward, twice));
    b->setFixedSize(30, 30);
    b->setToolTip(ToolTip(KeyOf(move)));
    connect(b, &QToolButton::clicked, this, [this, move] { emit moveRequested(move); });
    arrows_[static_cast<int>(move)] = b;
    return b;
}

NavigationBar::NavigationBar(QWidget* parent) : QWidget(parent) {
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(FromBytes(UiText(Ui::FileNavigation)), this);
    title->setObjectName("Label13");
    title->setFont(Bold(title->font()));
    title->setAlignment(Qt::AlignCenter);
    col->addWidget(title);

    auto* byRecords = new QGroupBox(FromBytes(UiText(Ui::ByDataRecords)), this);
    byRecords->setObjectName("GroupBox1");
    auto* br = new QHBoxLayout(byRecords);
    selector_ = new QComboBox(byRecords);
    selector_->setObjectName("ComboBox1");
    selector_->setEditable(true);
    selector_->setInsertPolicy(QComboBox::NoInsert);
    selector_->setCompleter(nullptr);  // a million identifiers: match on Enter, not per key
    selector_->setFont(Bold(selector_->font()));
    selector_->setMinimumWidth(110);
    // Sizing to the contents would measure every identifier (a million of them).
    selector_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    selector_->setMinimumContentsLength(10);
    selector_->setToolTip(ToolTip(Key::RespondentSelector));
    selectorModel_ = new LineListModel(selector_);
    selector_->setModel(selectorModel_);
    if (auto* view = qobject_cast<QListView*>(selector_->view())) view->setUniformItemSizes(true);
    br->addWidget(selector_, 1);
    br->addWidget(MakeArrow("BitBtn4", false, true, Move::PreviousRecord));
    br->addWidget(MakeArrow("BitBtn3", true, true, Move::NextRecord));

    auto* byOccupations = new QGroupBox(FromBytes(UiText(Ui::ByOccupations)), this);
    byOccupations->setObjectName("GroupBox2");
    auto* bo = new QHBoxLayout(byOccupations);
    bo->addWidget(MakeArrow("BitBtn2", false, false, Move::PreviousOccupation));
    bo->addWidget(MakeArrow("BitBtn1", true, false, Move::NextOccupation));

    auto* row = new QHBoxLayout();
    row->setSpacing(6);
    row->addWidget(byRecords, 1);
    row->addWidget(byOccupations);
    col->addLayout(row);

    connect(selector_, &QComboBox::activated, this, [this](int index) {
        if (!drawing_) emit entryPicked(index);
    });
    connect(selector_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { emit identifierTyped(selector_->currentText()); });
}

void NavigationBar::Click(Move move) { arrows_[static_cast<int>(move)]->click(); }

void NavigationBar::FocusSelector() {
    selector_->setFocus(Qt::ShortcutFocusReason);
    selector_->lineEdit()->selectAll();
}

void NavigationBar::Render(const Session& s) {
    drawing_ = true;
    const CodingView& v = s.View;
    if (shownVersion_ != static_cast<std::uint64_t>(v.SelectorVersion)) {
        const std::vector<int>* records = &s.Cases.SelectorRecords;
        const std::vector<TOsoba>* people = &s.Cases.Respondents;
        selectorModel_->SetLines(
            static_cast<int>(records->size()), [records, people](int i) -> const std::string& {
                return (*people)[static_cast<size_t>((*records)[static_cast<size_t>(i)])]
                    .RespondentId;
            });
        shownVersion_ = static_cast<std::uint64_t>(v.SelectorVersion);
    }
    selector_->setCurrentIndex(v.SelectorSelected);
    if (v.SelectorSelected < 0) selector_->setEditText(QString());
    drawing_ = false;
}

}  // namespace tarnwick::gui
