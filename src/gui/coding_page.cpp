#include "gui/coding_page.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/classification/profile.h"
#include "core/coding/category_lists.h"
#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/coding/search.h"
#include "core/coding/suggestions.h"
#include "core/project/review.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "gui/case_view.h"
#include "gui/category_list_pane.h"
#include "gui/coding_actions_pane.h"
#include "gui/coding_commands.h"
#include "gui/command_runner.h"
#include "gui/convert.h"
#include "gui/key_words_pane.h"
#include "gui/navigation_bar.h"
#include "gui/shortcuts.h"
#include "gui/widget_style.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

template <class F>
void CodingPage::Command(F&& f) {
    if (drawing_) return;  // a widget reacting to Render, not to the coder
    runner_.Run([&](Session& s) { f(s); });
}

template <class F>
void CodingPage::Act(F&& f) {
    if (drawing_) return;
    // In review every action ends on the case under review, and a changed code is its recode.
    Command([&](Session& s) {
        f(s);
        FollowReview(s);
    });
    FocusKeyWords();
}

CodingPage::CodingPage(CommandRunner& runner, QWidget* parent) : QWidget(parent), runner_(runner) {
    setObjectName("TabSheet3");
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName("CodingSplitter");
    outer->addWidget(splitter);
    BuildLeft(splitter);
    BuildLists(splitter);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({500, 430});
    ConnectLists();
    ConnectPanes();
    ConnectKeys();
}

void CodingPage::BuildLeft(QSplitter* splitter) {
    // The left column scrolls only when the window is too low for all its fields.
    auto* scroll = new QScrollArea(splitter);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* left = new QWidget(scroll);
    scroll->setWidget(left);
    auto* col = new QVBoxLayout(left);
    col->setContentsMargins(0, 0, 4, 0);
    col->setSpacing(4);
    navigation_ = new NavigationBar(left);
    caseView_ = new CaseView(left);
    actions_ = new CodingActionsPane(left);
    keyWords_ = new KeyWordsPane(left);
    col->addWidget(navigation_);
    col->addWidget(caseView_);
    col->addWidget(actions_);
    col->addWidget(keyWords_);
    col->addWidget(caseView_->InfoFields());
    col->addStretch(1);
    splitter->addWidget(scroll);
}

void CodingPage::BuildLists(QSplitter* splitter) {
    categoryTabs_ = new QTabWidget(splitter);
    categoryTabs_->setObjectName("PageControl2");
    // The tabs' whole names, never cut or behind scroll arrows.
    categoryTabs_->tabBar()->setElideMode(Qt::ElideNone);
    categoryTabs_->setUsesScrollButtons(false);
    auto* suggestions = new CategoryListPane(CategoryTab::Suggestions, "SuggestionsPage",
                                             "SuggestionsList", "SuggestionsMemo", categoryTabs_);
    suggestions->Model()->NumberRows(kSuggestionKeys);
    suggestions->WrapLines();  // the reasons are read whole, not in a tooltip
    suggestions->List()->setToolTip(SuggestionsToolTip());
    codeAllIdenticalButton_ =
        new QPushButton(u"Code all identical  "_s + KeyName(Key::CodeAllIdentical), suggestions);
    codeAllIdenticalButton_->setObjectName("CodeAllIdentical");
    codeAllIdenticalButton_->setToolTip(ToolTip(Key::CodeAllIdentical));
    codeAllIdenticalButton_->setFocusPolicy(Qt::NoFocus);
    suggestions->AddBelow(codeAllIdenticalButton_);

    auto* preselected = new CategoryListPane(CategoryTab::Preselected, "TabSheet5", "ListBox1",
                                             "Memo1", categoryTabs_);
    listNote_ = new QLabel(preselected);
    listNote_->setObjectName("ListNote");
    listNote_->setFont(Bold(listNote_->font()));
    listNote_->setStyleSheet(u"color: #9a3b00"_s);
    listNote_->setWordWrap(true);
    listNote_->hide();
    preselected->AddAbove(listNote_);

    auto* full =
        new CategoryListPane(CategoryTab::Full, "TabSheet6", "ListBox2", "Memo3", categoryTabs_);
    fullListSearch_ = new QLineEdit(full);
    fullListSearch_->setObjectName("FullListSearch");
    fullListSearch_->setPlaceholderText(u"Find a code or a name"_s);
    fullListSearch_->setToolTip(
        u"Type a code (5283) or the beginning of a name; Enter or Down goes into the list"_s);
    fullListSearch_->setClearButtonEnabled(true);
    fullListSearch_->installEventFilter(this);
    full->AddAbove(fullListSearch_);

    for (CategoryListPane* pane : {suggestions, preselected, full}) {
        panes_[static_cast<size_t>(pane->Tab())] = pane;
    }
    categoryTabs_->addTab(suggestions, u"Suggestions"_s);
    categoryTabs_->addTab(preselected, FromBytes(UiText(Ui::PreselectedCategories)));
    categoryTabs_->addTab(
        full, FromBytes(UiText(Ui::FullClassification)) + FromBytes(kClassificationDisplayEnglish));
    splitter->addWidget(categoryTabs_);
}

CategoryListPane* CodingPage::Pane(CategoryTab tab) const {
    return panes_[static_cast<size_t>(tab)];
}

CategoryListPane* CodingPage::FrontPane() const {
    return static_cast<CategoryListPane*>(categoryTabs_->currentWidget());
}

void CodingPage::ShowTab(CategoryTab tab) { categoryTabs_->setCurrentWidget(Pane(tab)); }

void CodingPage::FocusKeyWords() { keyWords_->Focus(); }

void CodingPage::FocusSearch() {
    fullListSearch_->setFocus(Qt::OtherFocusReason);
    fullListSearch_->selectAll();
}

void CodingPage::SetReadOnly(bool readOnly) {
    actions_->setEnabled(!readOnly);
    codeAllIdenticalButton_->setEnabled(!readOnly);
}

void CodingPage::EnterList(bool bestLine) {
    CategoryListPane* pane = FrontPane();
    if (pane->RowCount() == 0) return;  // nothing to go to: the focus stays
    const CategoryTab tab = pane->Tab();
    Command([&](Session& s) {
        if (!bestLine && SelectedLine(s.View, tab) >= 0) return;
        // The pre-selected list is in code order; Enter goes to the line the ranking puts first.
        const int row =
            bestLine && tab == CategoryTab::Preselected ? std::max(BestPreselectedLine(s), 0) : 0;
        SelectLine(s, tab, row);
    });
    pane->Enter();
}

void CodingPage::CodeLine(CategoryTab tab, int row) {
    Act([&](Session& s) { CodeLineOf(s, tab, row); });
}

void CodingPage::ClearKeyWords() {
    // Escape with nothing to clear leaves a review.
    if (keyWords_->Empty() && InReview(runner_.session())) {
        Act([](Session& s) { LeaveReview(s); });
        return;
    }
    Command([](Session& s) {
        if (s.View.Key2Enabled) SetSecondKeyWord(s, "");
        if (s.View.Key1Enabled) SetFirstKeyWord(s, "");
    });
    FocusKeyWords();
}

void CodingPage::ConnectLists() {
    for (CategoryListPane* pane : panes_) {
        const CategoryTab tab = pane->Tab();
        connect(pane, &CategoryListPane::lineSelected, this, [this, tab](int row) {
            Command([&](Session& s) {
                if (SelectedLine(s.View, tab) != row) SelectLine(s, tab, row);
            });
        });
        connect(pane, &CategoryListPane::lineCoded, this,
                [this, tab](int row) { CodeLine(tab, row); });
        // A list never codes by type-ahead: what is typed goes to the box that searches it.
        connect(pane, &CategoryListPane::typed, this, [this, tab](const QString& text) {
            if (tab != CategoryTab::Full) {
                keyWords_->Append(text);
                return;
            }
            fullListSearch_->setFocus(Qt::OtherFocusReason);
            fullListSearch_->deselect();
            fullListSearch_->end(false);
            fullListSearch_->insert(text);
        });
        connect(pane, &CategoryListPane::leftAtTop, this,
                [this, tab] { tab == CategoryTab::Full ? FocusSearch() : FocusKeyWords(); });
        connect(pane, &CategoryListPane::escaped, this, &CodingPage::ClearKeyWords);
    }
    connect(fullListSearch_, &QLineEdit::textEdited, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        const int visible = Pane(CategoryTab::Full)->VisibleLines();
        Command([&](Session& s) { SelectFullListByText(s, text, visible); });
    });
    connect(fullListSearch_, &QLineEdit::returnPressed, this, [this] { EnterList(false); });
    connect(categoryTabs_, &QTabWidget::currentChanged, this, [this](int) {
        const int visible = Pane(CategoryTab::Full)->VisibleLines();
        const CategoryTab tab = FrontPane()->Tab();
        Command([&](Session& s) { ShowCategoryTab(s, tab, visible); });
    });
}

void CodingPage::ConnectPanes() {
    connect(navigation_, &NavigationBar::moveRequested, this,
            [this](NavigationBar::Move move) { Act([&](Session& s) { ApplyMove(s, move); }); });
    connect(navigation_, &NavigationBar::entryPicked, this,
            [this](int index) { Act([&](Session& s) { SelectRespondentEntry(s, index); }); });
    connect(navigation_, &NavigationBar::identifierTyped, this, [this](const QString& id) {
        const std::string text = ToBytes(id);
        Act([&](Session& s) { PickRespondent(s, text); });
    });
    connect(caseView_, &CaseView::textSelected, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        Command([&](Session& s) { SearchSelectedText(s, text); });
    });
    connect(actions_, &CodingActionsPane::actionRequested, this,
            [this](CodingActionsPane::Action action) {
                Act([&](Session& s) { ApplyAction(s, action); });
            });
    connect(keyWords_, &KeyWordsPane::firstChanged, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        Command([&](Session& s) { SetFirstKeyWord(s, text); });
    });
    connect(keyWords_, &KeyWordsPane::secondChanged, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        Command([&](Session& s) { SetSecondKeyWord(s, text); });
    });
    connect(keyWords_, &KeyWordsPane::secondToggled, this,
            [this](bool on) { Command([&](Session& s) { UseSecondKeyWord(s, on); }); });
    connect(keyWords_, &KeyWordsPane::enterPressed, this, [this] {
        if (keyWords_->Empty() && InReview(runner_.session())) {
            Act([](Session& s) { ConfirmReviewCase(s); });
        } else {
            EnterList(true);
        }
    });
    connect(keyWords_, &KeyWordsPane::downPressed, this, [this] { EnterList(false); });
    connect(keyWords_, &KeyWordsPane::escapePressed, this, &CodingPage::ClearKeyWords);
    connect(codeAllIdenticalButton_, &QPushButton::clicked, this,
            [this] { Act([](Session& s) { CodeAllIdentical(s); }); });
}

void CodingPage::ConnectKeys() {
    // The page's keys work wherever the focus is on the page, and only while it is in front.
    auto onKey = [this](const QKeySequence& keys, auto&& slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    using A = CodingActionsPane::Action;
    using M = NavigationBar::Move;
    for (auto [key, action] : {std::pair{Key::Code, A::Code},
                               {Key::Missing, A::Missing},
                               {Key::NotApplicable, A::NotApplicable},
                               {Key::Repeat, A::Repeat},
                               {Key::Cancel, A::Cancel}}) {
        onKey(KeysOf(key), [this, a = action] { actions_->Click(a); });
    }
    for (auto [key, move] : {std::pair{Key::PreviousOccupation, M::PreviousOccupation},
                             {Key::NextOccupation, M::NextOccupation},
                             {Key::PreviousRecord, M::PreviousRecord},
                             {Key::NextRecord, M::NextRecord}}) {
        onKey(KeysOf(key), [this, m = move] { navigation_->Click(m); });
    }
    onKey(KeysOf(Key::FullListSearch), [this] {
        ShowTab(CategoryTab::Full);
        FocusSearch();
    });
    // F4 goes round the lists in the order of their tabs, the keyboard where each is worked.
    onKey(KeysOf(Key::SwitchLists), [this] {
        categoryTabs_->setCurrentIndex((categoryTabs_->currentIndex() + 1) %
                                       categoryTabs_->count());
        if (!categoryTabs_->isTabVisible(categoryTabs_->currentIndex())) {
            categoryTabs_->setCurrentIndex((categoryTabs_->currentIndex() + 1) %
                                           categoryTabs_->count());
        }
        switch (FrontPane()->Tab()) {
            case CategoryTab::Full:
                FocusSearch();
                break;
            case CategoryTab::Suggestions:
                EnterList(false);
                break;
            case CategoryTab::Preselected:
                FocusKeyWords();
                break;
        }
    });
    for (int n = 1; n <= kSuggestionKeys; ++n) {
        onKey(SuggestionKeys(n), [this, n] { CodeLine(CategoryTab::Suggestions, n - 1); });
    }
    onKey(KeysOf(Key::CodeAllIdentical), [this] { codeAllIdenticalButton_->click(); });
    onKey(KeysOf(Key::SecondKeyWord), [this] { keyWords_->ToggleSecond(); });
    onKey(KeysOf(Key::Undo),
          [this] { Act([](Session& s) { InReview(s) ? TakeBackReviewVerdict(s) : Undo(s); }); });
    onKey(KeysOf(Key::Redo), [this] { Act([](Session& s) { Redo(s); }); });
    onKey(KeysOf(Key::RespondentSelector), [this] { navigation_->FocusSelector(); });
}

bool CodingPage::eventFilter(QObject* watched, QEvent* event) {
    // Down in the full list's search box goes into the list, as Enter does.
    if (watched == fullListSearch_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == 0 &&
            (key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown)) {
            EnterList(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CodingPage::RenderLists(Session& s) {
    const CodingView& v = s.View;
    CategoryListPane* suggestions = Pane(CategoryTab::Suggestions);
    suggestions->Show(static_cast<std::uint64_t>(v.SuggestionsVersion), v.SuggestionLines,
                      v.SuggestionSelected, v.SuggestionDescription);
    categoryTabs_->setTabVisible(categoryTabs_->indexOf(suggestions), s.Suggester != nullptr);

    CategoryListPane* preselected = Pane(CategoryTab::Preselected);
    preselected->Show(static_cast<std::uint64_t>(v.PreselectedVersion), v.PreselectedLines,
                      v.PreselectedSelected, v.PreselectedDescription);
    // The line that Enter in the key-word box goes to stands out, once per list and case.
    const std::array<long long, 4> bestFor = {v.PreselectedVersion, s.CurrentRecord, s.CurrentField,
                                              v.SuggestionsVersion};
    if (bestFor != bestLineFor_) {
        preselected->Model()->MarkRow(BestPreselectedLine(s));
        bestLineFor_ = bestFor;
    }
    listNote_->setText(FromBytes(v.ListNote));
    listNote_->setVisible(!v.ListNote.empty());

    CategoryListPane* full = Pane(CategoryTab::Full);
    full->Show(0, s.Clf.FullListLines, v.FullSelected, v.FullDescription);
    if (shownFullScroll_ != v.FullScrollRequest) {
        shownFullScroll_ = v.FullScrollRequest;
        full->ScrollToTop(v.FullTopLine);
    }
    const QString fullName =
        FromBytes(UiText(Ui::FullClassification)) + FromBytes(ClassificationDisplayName(s.Clf));
    if (const int tab = categoryTabs_->indexOf(full); categoryTabs_->tabText(tab) != fullName) {
        categoryTabs_->setTabText(tab, fullName);
    }
    ShowTab(v.ActiveTab);
}

void CodingPage::Render(Session& s) {
    drawing_ = true;
    navigation_->Render(s);
    caseView_->Render(s);
    actions_->Render(s.View);
    keyWords_->Render(s.View);
    RenderLists(s);
    drawing_ = false;
}

}  // namespace tarnwick::gui
