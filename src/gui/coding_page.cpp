#include "gui/coding_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "core/classification/profile.h"
#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/coding/search.h"
#include "core/coding/suggestions.h"
#include "core/project/review.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "gui/convert.h"
#include "gui/list_models.h"
#include "gui/main_window.h"
#include "gui/shortcuts.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

// Arrow pictures of our own, drawn once: a filled triangle, single or double.
QIcon ArrowIcon(bool forward, bool twice) {
    QPixmap pm(22, 22);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x4e, 0x89));
    auto triangle = [&](int x) {
        QPolygon poly;
        if (forward) {
            poly << QPoint(x, 4) << QPoint(x + 9, 11) << QPoint(x, 18);
        } else {
            poly << QPoint(x + 9, 4) << QPoint(x, 11) << QPoint(x + 9, 18);
        }
        p.drawPolygon(poly);
    };
    if (twice) {
        triangle(2);
        triangle(11);
    } else {
        triangle(6);
    }
    return QIcon(pm);
}

// The CODE button's picture: a green tick.
QIcon TickIcon() {
    QPixmap pm(28, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x2e, 0x8b, 0x3a), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawPolyline(QPolygon({QPoint(5, 15), QPoint(11, 21), QPoint(23, 7)}));
    return QIcon(pm);
}

QFont Bold(QFont f) {
    f.setBold(true);
    return f;
}

// A line cut off by the list's right edge shows whole in its tooltip.
class WholeLineTipDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip) {
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        }
        const QString line = index.data().toString();
        const int margin = 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 2;
        const int room = view->viewport()->width() - option.rect.left();
        if (option.fontMetrics.horizontalAdvance(line) + margin > room) {
            QToolTip::showText(event->globalPos(), line, view);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
};

void SetBoxText(QPlainTextEdit* box, const std::string& text) {
    const QString t = FromBytes(text);
    if (box->toPlainText() != t) box->setPlainText(t);
}

}  // namespace

template <class F>
void CodingPage::Command(F&& f) {
    if (rendering_) return;  // a widget reacting to Render, not to the coder
    window_->RunCommand([&] { f(window_->session()); });
}

template <class F>
void CodingPage::Act(F&& f) {
    if (rendering_) return;
    // In review every action ends on the case under review, and a changed code is its recode.
    Command([&](Session& s) {
        f(s);
        FollowReview(s);
    });
    FocusKeyWords();
}

bool CodingPage::KeyWordsEmpty() const {
    return firstKeyWordEdit_->text().isEmpty() && secondKeyWordEdit_->text().isEmpty();
}

void CodingPage::FocusKeyWords() {
    QLineEdit* box = firstKeyWordEdit_->isEnabled() ? firstKeyWordEdit_ : secondKeyWordEdit_;
    if (!box->isEnabled()) return;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

CategoryTab CodingPage::TabAt(int index) const {
    QWidget* page = categoryTabs_->widget(index);
    if (page == suggestionsPage_) return CategoryTab::Suggestions;
    return page == fullPage_ ? CategoryTab::Full : CategoryTab::Preselected;
}

int CodingPage::IndexOf(CategoryTab tab) const {
    switch (tab) {
        case CategoryTab::Suggestions:
            return categoryTabs_->indexOf(suggestionsPage_);
        case CategoryTab::Full:
            return categoryTabs_->indexOf(fullPage_);
        case CategoryTab::Preselected:
            break;
    }
    return categoryTabs_->indexOf(preselectedPage_);
}

QListView* CodingPage::FrontList() const {
    switch (TabAt(categoryTabs_->currentIndex())) {
        case CategoryTab::Suggestions:
            return suggestionsList_;
        case CategoryTab::Full:
            return fullList_;
        case CategoryTab::Preselected:
            break;
    }
    return preselectedList_;
}

void CodingPage::EnterList(bool firstLine) {
    QListView* list = FrontList();
    if (list->model()->rowCount() == 0) return;  // nothing to go to: the focus stays
    const bool full = list == fullList_;
    const bool suggested = list == suggestionsList_;
    Command([&](Session& s) {
        const int selected = full        ? s.View.FullSelected
                             : suggested ? s.View.SuggestionSelected
                                         : s.View.PreselectedSelected;
        if (!firstLine && selected >= 0) return;
        if (full) {
            SelectFullListLine(s, 0);
        } else if (suggested) {
            SelectSuggestionLine(s, 0);
        } else {
            // The list is in code order; Enter goes to the line the ranking puts first.
            SelectPreselectedLine(s, firstLine ? std::max(BestPreselectedLine(s), 0) : 0);
        }
    });
    list->setFocus(Qt::OtherFocusReason);
    if (list->currentIndex().isValid()) list->scrollTo(list->currentIndex());
}

void CodingPage::CodeCurrentLine(QListView* list) {
    const QModelIndex current = list->currentIndex();
    if (!current.isValid()) return;
    CodeLine(list, current.row());
}

void CodingPage::CodeLine(QListView* list, int row) {
    if (InReview(window_->session())) {
        const CategoryTab tab = list == fullList_          ? CategoryTab::Full
                                : list == suggestionsList_ ? CategoryTab::Suggestions
                                                           : CategoryTab::Preselected;
        Act([&](Session& s) { ReviewCodeLine(s, tab, row); });
    } else if (list == fullList_) {
        Act([&](Session& s) { CodeFullListLine(s, row); });
    } else if (list == suggestionsList_) {
        Act([&](Session& s) { CodeSuggestionLine(s, row); });
    } else {
        Act([&](Session& s) { CodePreselectedLine(s, row); });
    }
}

void CodingPage::ClearKeyWords() {
    // Escape with nothing to clear leaves a review.
    if (KeyWordsEmpty() && InReview(window_->session())) {
        Act([](Session& s) { LeaveReview(s); });
        return;
    }
    Command([](Session& s) {
        if (s.View.Key2Enabled) SetSecondKeyWord(s, "");
        if (s.View.Key1Enabled) SetFirstKeyWord(s, "");
    });
    FocusKeyWords();
}

// A list never codes by type-ahead: what is typed in it goes to the box that searches it, the
// full list's own box or the key words.
bool CodingPage::TypedIntoList(QListView* list, const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = key.text();
    if (text.isEmpty() || !text.at(0).isPrint()) return false;
    QLineEdit* box = list == fullList_                ? fullListSearch_
                     : firstKeyWordEdit_->isEnabled() ? firstKeyWordEdit_
                                                      : secondKeyWordEdit_;
    if (!box->isEnabled()) return true;
    box->setFocus(Qt::OtherFocusReason);
    box->deselect();
    box->end(false);
    box->insert(text);
    return true;
}

bool CodingPage::eventFilter(QObject* watched, QEvent* event) {
    const bool keyWordBox = watched == firstKeyWordEdit_ || watched == secondKeyWordEdit_;
    if (keyWordBox && event->type() == QEvent::ShortcutOverride) {
        // The box would take Ctrl+Z for its own text; on this page it undoes a coding action.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        if (pressed == KeysOf(Key::Undo) || pressed == KeysOf(Key::Redo)) return true;
    }
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool list =
        watched == preselectedList_ || watched == fullList_ || watched == suggestionsList_;
    if (list && TypedIntoList(static_cast<QListView*>(watched), *key)) return true;
    if (key->modifiers() & ~(Qt::KeypadModifier)) return QWidget::eventFilter(watched, event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (keyWordBox) {
        if (enter && KeyWordsEmpty() && InReview(window_->session())) {
            Act([](Session& s) { ConfirmReviewCase(s); });
            return true;
        }
        if (enter) {
            EnterList(true);
            return true;
        }
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown) {
            EnterList(false);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            ClearKeyWords();
            return true;
        }
    } else if (watched == fullListSearch_) {
        if (enter || key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown) {
            EnterList(false);
            return true;
        }
    } else if (watched == preselectedList_ || watched == fullList_ || watched == suggestionsList_) {
        auto* list = static_cast<QListView*>(watched);
        if (enter) {
            CodeCurrentLine(list);
            return true;
        }
        if (key->key() == Qt::Key_Up && list->currentIndex().row() <= 0) {
            if (list == fullList_) {
                fullListSearch_->setFocus(Qt::OtherFocusReason);
                fullListSearch_->selectAll();
            } else {
                FocusKeyWords();
            }
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            ClearKeyWords();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

CodingPage::CodingPage(TForm1* window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName("TabSheet3");
    Build();
    Connect();
}

QPlainTextEdit* CodingPage::MakeCaseText(const char* name, int height) {
    auto* box = new QPlainTextEdit(this);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setFixedHeight(height + 6);
    box->setVerticalScrollBarPolicy(height > 30 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->document()->setDocumentMargin(2);
    // Selecting a word in any case text searches for it.
    connect(box, &QPlainTextEdit::selectionChanged, this, [this, box] {
        if (rendering_) return;
        const std::string text = ToBytes(box->textCursor().selectedText());
        Command([&](Session& s) { SearchSelectedText(s, text); });
    });
    return box;
}

void CodingPage::Build() {
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName("CodingSplitter");
    outer->addWidget(splitter);

    // Left column: scrolls when the window is too low for all thirteen information fields.
    auto* leftScroll = new QScrollArea(splitter);
    leftScroll->setWidgetResizable(true);
    leftScroll->setFrameShape(QFrame::NoFrame);
    leftScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* left = new QWidget(leftScroll);
    leftScroll->setWidget(left);
    auto* col = new QVBoxLayout(left);
    col->setContentsMargins(0, 0, 4, 0);
    col->setSpacing(4);

    reviewBanner_ = new QLabel(left);
    reviewBanner_->setObjectName("ReviewBanner");
    reviewBanner_->setWordWrap(true);
    reviewBanner_->setFont(Bold(reviewBanner_->font()));
    reviewBanner_->setStyleSheet(
        u"background: #fff1b8; color: #5c3d00; border: 2px solid #d9a400; padding: 5px"_s);
    reviewBanner_->hide();
    col->addWidget(reviewBanner_);
    BuildNavigation(left, col);
    BuildCaseArea(left, col);
    BuildCodingActions(left, col);
    BuildKeyWords(left, col);
    BuildInfoFields(left, col);
    col->addStretch(1);

    BuildCategoryPanel(splitter);
    splitter->addWidget(leftScroll);
    splitter->addWidget(categoryTabs_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({500, 430});
}

void CodingPage::BuildNavigation(QWidget* left, QVBoxLayout* col) {
    auto* navTitle = new QLabel(FromBytes(UiText(Ui::FileNavigation)), left);
    navTitle->setObjectName("Label13");
    navTitle->setFont(Bold(navTitle->font()));
    navTitle->setAlignment(Qt::AlignCenter);
    col->addWidget(navTitle);
    auto* navRow = new QHBoxLayout();
    auto makeNav = [&](const char* name, bool forward, bool twice, Key key) {
        auto* b = new QToolButton(left);
        b->setObjectName(name);
        b->setIcon(ArrowIcon(forward, twice));
        b->setFixedSize(30, 30);
        b->setToolTip(ToolTip(key));
        return b;
    };
    auto* byRecords = new QGroupBox(FromBytes(UiText(Ui::ByDataRecords)), left);
    byRecords->setObjectName("GroupBox1");
    auto* br = new QHBoxLayout(byRecords);
    respondentSelector_ = new QComboBox(byRecords);
    respondentSelector_->setObjectName("ComboBox1");
    respondentSelector_->setEditable(true);
    respondentSelector_->setInsertPolicy(QComboBox::NoInsert);
    // A million identifiers: match on Enter, not per key.
    respondentSelector_->setCompleter(nullptr);
    respondentSelector_->setFont(Bold(respondentSelector_->font()));
    respondentSelector_->setMinimumWidth(110);
    // Sizing to the contents would measure every identifier (a million of them).
    respondentSelector_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    respondentSelector_->setMinimumContentsLength(10);
    respondentSelector_->setToolTip(ToolTip(Key::RespondentSelector));
    selectorModel_ = new LineListModel(respondentSelector_);
    respondentSelector_->setModel(selectorModel_);
    if (auto* view = qobject_cast<QListView*>(respondentSelector_->view()))
        view->setUniformItemSizes(true);
    previousRecordButton_ = makeNav("BitBtn4", false, true, Key::PreviousRecord);
    nextRecordButton_ = makeNav("BitBtn3", true, true, Key::NextRecord);
    br->addWidget(respondentSelector_, 1);
    br->addWidget(previousRecordButton_);
    br->addWidget(nextRecordButton_);
    auto* byOccupations = new QGroupBox(FromBytes(UiText(Ui::ByOccupations)), left);
    byOccupations->setObjectName("GroupBox2");
    auto* bo = new QHBoxLayout(byOccupations);
    previousOccupationButton_ = makeNav("BitBtn2", false, false, Key::PreviousOccupation);
    nextOccupationButton_ = makeNav("BitBtn1", true, false, Key::NextOccupation);
    bo->addWidget(previousOccupationButton_);
    bo->addWidget(nextOccupationButton_);
    navRow->addWidget(byRecords, 1);
    navRow->setSpacing(6);
    navRow->addWidget(byOccupations);
    col->addLayout(navRow);
}

void CodingPage::BuildCaseArea(QWidget* left, QVBoxLayout* col) {
    occupationCaption_ = new QLabel(left);
    occupationCaption_->setObjectName("Label12");
    occupationCaption_->setFont(Bold(occupationCaption_->font()));
    occupationCaption_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    occupationCaption_->setWordWrap(true);
    col->addWidget(occupationCaption_);

    assignedGroup_ = new QGroupBox(
        FromBytes(UiText(Ui::AssignedCategoryOf)) + FromBytes(kClassificationDisplayEnglish), left);
    assignedGroup_->setObjectName("GroupBox3");
    auto* ag = new QHBoxLayout(assignedGroup_);
    assignedCodeEdit_ = new QPlainTextEdit(assignedGroup_);
    assignedCodeEdit_->setObjectName("RichEdit11");
    assignedCodeEdit_->setReadOnly(true);
    QFont big = assignedCodeEdit_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    assignedCodeEdit_->setFont(big);
    assignedCodeEdit_->setFixedSize(80, 36);
    assignedCodeEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    assignedCodeEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    assignedLabelEdit_ = new QPlainTextEdit(assignedGroup_);
    assignedLabelEdit_->setObjectName("RichEdit12");
    assignedLabelEdit_->setReadOnly(true);
    assignedLabelEdit_->setFixedHeight(36);
    for (QPlainTextEdit* box : {assignedCodeEdit_, assignedLabelEdit_}) {
        connect(box, &QPlainTextEdit::selectionChanged, this, [this, box] {
            if (rendering_) return;
            const std::string text = ToBytes(box->textCursor().selectedText());
            Command([&](Session& s) { SearchSelectedText(s, text); });
        });
    }
    ag->addWidget(assignedCodeEdit_);
    ag->addWidget(assignedLabelEdit_, 1);
    col->addWidget(assignedGroup_);
}

void CodingPage::BuildCodingActions(QWidget* left, QVBoxLayout* col) {
    auto* actions = new QGroupBox(FromBytes(UiText(Ui::CodingActions)), left);
    actions->setObjectName("GroupBox4");
    // Four small buttons in two rows, the last code beside REPEAT, the large CODE on the right.
    auto* ac = new QGridLayout(actions);
    ac->setHorizontalSpacing(6);
    // Each caption carries its key, so the coder learns the keys from the buttons.
    auto makeButton = [&](const char* name, Ui text, Key key) {
        auto* b = new QPushButton(FromBytes(UiText(text)) + u"  "_s + KeyName(key), actions);
        b->setObjectName(name);
        b->setToolTip(ToolTip(key));
        return b;
    };
    notApplicableButton_ = makeButton("Button1", Ui::NotApplicableButton, Key::NotApplicable);
    missingButton_ = makeButton("Button2", Ui::MissingButton, Key::Missing);
    cancelButton_ = makeButton("Button4", Ui::CancelButton, Key::Cancel);
    repeatButton_ = makeButton("Button3", Ui::RepeatButton, Key::Repeat);
    lastCodeEdit_ = new QLineEdit(actions);
    lastCodeEdit_->setObjectName("Edit2");
    lastCodeEdit_->setReadOnly(true);
    lastCodeEdit_->setFont(Bold(lastCodeEdit_->font()));
    lastCodeEdit_->setFixedWidth(52);
    lastCodeEdit_->setAlignment(Qt::AlignCenter);
    codeButton_ =
        new QPushButton(FromBytes(UiText(Ui::CodeButton)) + u"  "_s + KeyName(Key::Code), actions);
    codeButton_->setObjectName("BitBtn5");
    codeButton_->setIcon(TickIcon());
    codeButton_->setIconSize(QSize(26, 26));
    QFont codeFont = Bold(codeButton_->font());
    codeFont.setPointSizeF(codeFont.pointSizeF() * 1.3);
    codeButton_->setFont(codeFont);
    codeButton_->setMinimumSize(120, 62);
    codeButton_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    codeButton_->setToolTip(ToolTip(Key::Code) + u"; Enter on a line codes that line"_s);
    ac->addWidget(notApplicableButton_, 0, 0);
    ac->addWidget(missingButton_, 0, 1, 1, 2);
    ac->addWidget(cancelButton_, 1, 0);
    ac->addWidget(repeatButton_, 1, 1);
    ac->addWidget(lastCodeEdit_, 1, 2);
    ac->addWidget(codeButton_, 0, 3, 2, 1);
    ac->setColumnStretch(3, 1);
    col->addWidget(actions);
}

void CodingPage::BuildKeyWords(QWidget* left, QVBoxLayout* col) {
    auto* keys = new QFrame(left);
    keys->setObjectName("Panel2");
    keys->setFrameShape(QFrame::StyledPanel);
    auto* kl = new QHBoxLayout(keys);
    kl->setContentsMargins(6, 3, 6, 3);
    auto* keyWordsTitle = new QLabel(FromBytes(UiText(Ui::KeyWords)), keys);
    keyWordsTitle->setObjectName("Label30");
    keyWordsTitle->setFont(Bold(keyWordsTitle->font()));
    auto* first = new QLabel(FromBytes(UiText(Ui::FirstKeyWord)), keys);
    first->setObjectName("Label32");
    firstKeyWordEdit_ = new QLineEdit(keys);
    firstKeyWordEdit_->setObjectName("Edit1");
    secondKeyWordCheck_ = new QCheckBox(FromBytes(UiText(Ui::SecondKeyWord)), keys);
    secondKeyWordCheck_->setObjectName("CheckBox1");
    secondKeyWordEdit_ = new QLineEdit(keys);
    secondKeyWordEdit_->setObjectName("Edit3");
    secondKeyWordEdit_->setEnabled(false);
    kl->addWidget(keyWordsTitle);
    kl->addSpacing(8);
    kl->addWidget(first);
    kl->addWidget(firstKeyWordEdit_, 1);
    kl->addWidget(secondKeyWordCheck_);
    kl->addWidget(secondKeyWordEdit_, 1);
    col->addWidget(keys);
}

void CodingPage::BuildInfoFields(QWidget* left, QVBoxLayout* col) {
    // Information fields 1..13, each caption right-aligned to the left of its box.
    static const char* const kBoxes[14] = {nullptr,      "RichEdit1", "RichEdit2",  "RichEdit3",
                                           "RichEdit4",  "RichEdit5", "RichEdit6",  "RichEdit7",
                                           "RichEdit8",  "RichEdit9", "RichEdit10", "RichEdit15",
                                           "RichEdit16", "RichEdit17"};
    static const char* const kCaptions[14] = {nullptr,   "Label1",  "Label2",  "Label3", "Label4",
                                              "Label5",  "Label6",  "Label7",  "Label8", "Label9",
                                              "Label10", "Label11", "Label29", "Label31"};
    static const int kHeights[14] = {0, 35, 35, 60, 47, 21, 21, 21, 21, 21, 21, 21, 21, 21};
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    for (int n = 1; n <= 13; ++n) {
        auto* caption = new QLabel(left);
        caption->setObjectName(kCaptions[n]);
        caption->setAlignment(Qt::AlignRight | Qt::AlignTop);
        caption->setWordWrap(true);
        infoCaptions_[n] = caption;
        infoBoxes_[n] = MakeCaseText(kBoxes[n], kHeights[n]);
        infoBoxes_[n]->setMinimumWidth(315);
        caption->setMaximumWidth(160);
        grid->addWidget(caption, n - 1, 0);
        grid->addWidget(infoBoxes_[n], n - 1, 1);
        caption->hide();
        infoBoxes_[n]->hide();
    }
    grid->setColumnStretch(1, 1);
    col->addLayout(grid);
}

void CodingPage::BuildCategoryPanel(QSplitter* splitter) {
    categoryTabs_ = new QTabWidget(splitter);
    categoryTabs_->setObjectName("PageControl2");
    suggestionsPage_ = BuildListPage("SuggestionsPage", "SuggestionsList", "SuggestionsMemo",
                                     suggestionsList_, suggestionsModel_, suggestionsDescription_);
    suggestionsModel_->NumberRows(kSuggestionKeys);
    categoryTabs_->addTab(suggestionsPage_, u"Suggestions"_s);
    suggestionsList_->setToolTip(
        u"The categories the program proposes for this answer, best first: the key's number, "
        u"score, code, name and why. Enter or a double click codes a line; "_s +
        SuggestionKeys(1).toString(QKeySequence::NativeText) + u" \u2026 "_s +
        SuggestionKeys(kSuggestionKeys).toString(QKeySequence::NativeText) +
        u" codes suggestion 1 \u2026 9."_s);
    codeAllIdenticalButton_ = new QPushButton(
        u"Code all identical  "_s + KeyName(Key::CodeAllIdentical), suggestionsPage_);
    codeAllIdenticalButton_->setObjectName("CodeAllIdentical");
    codeAllIdenticalButton_->setToolTip(ToolTip(Key::CodeAllIdentical));
    codeAllIdenticalButton_->setFocusPolicy(Qt::NoFocus);
    suggestionsPage_->layout()->addWidget(codeAllIdenticalButton_);
    QWidget* preselectedPage = BuildListPage("TabSheet5", "ListBox1", "Memo1", preselectedList_,
                                             preselectedModel_, preselectedDescription_);
    preselectedPage_ = preselectedPage;
    categoryTabs_->addTab(preselectedPage, FromBytes(UiText(Ui::PreselectedCategories)));
    listNote_ = new QLabel(preselectedPage);
    listNote_->setObjectName("ListNote");
    listNote_->setFont(Bold(listNote_->font()));
    listNote_->setStyleSheet(u"color: #9a3b00"_s);
    listNote_->setWordWrap(true);
    listNote_->hide();
    static_cast<QVBoxLayout*>(preselectedPage->layout())->insertWidget(0, listNote_);
    QWidget* fullPage = BuildListPage("TabSheet6", "ListBox2", "Memo3", fullList_, fullListModel_,
                                      fullDescription_);
    fullPage_ = fullPage;
    categoryTabs_->addTab(fullPage, FromBytes(UiText(Ui::FullClassification)) +
                                        FromBytes(kClassificationDisplayEnglish));
    fullListSearch_ = new QLineEdit(fullPage);
    fullListSearch_->setObjectName("FullListSearch");
    fullListSearch_->setPlaceholderText(u"Find a code or a name"_s);
    fullListSearch_->setToolTip(
        u"Type a code (5283) or the beginning of a name; Enter or Down goes into the list"_s);
    fullListSearch_->setClearButtonEnabled(true);
    static_cast<QVBoxLayout*>(fullPage->layout())->insertWidget(0, fullListSearch_);
}

QWidget* CodingPage::BuildListPage(const char* page, const char* list, const char* memo,
                                   QListView*& view, LineListModel*& model,
                                   QPlainTextEdit*& description) {
    auto* sheet = new QWidget(categoryTabs_);
    sheet->setObjectName(page);
    auto* l = new QVBoxLayout(sheet);
    l->setContentsMargins(2, 2, 2, 2);
    auto* split = new QSplitter(Qt::Vertical, sheet);
    split->setObjectName(QString::fromLatin1(page) + u"Splitter"_s);
    split->setHandleWidth(16);
    view = new QListView(split);
    view->setObjectName(list);
    view->setUniformItemSizes(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    model = new LineListModel(view);
    view->setModel(model);
    view->setItemDelegate(new WholeLineTipDelegate(view));
    QFont mono(u"Monospace"_s);
    mono.setStyleHint(QFont::TypeWriter);
    view->setFont(mono);
    description = new QPlainTextEdit(split);
    description->setObjectName(memo);
    description->setReadOnly(true);
    split->addWidget(view);
    split->addWidget(description);
    split->setSizes({440, 200});
    l->addWidget(split);
    return sheet;
}

// Lines that fit in the full list at its real size and scale, so that a category carried over or
// found stands in the middle of it.
int CodingPage::FullListVisibleLines() const {
    const int lineHeight = std::max(1, fullList_->sizeHintForRow(0));
    return std::max(1, fullList_->viewport()->height() / lineHeight);
}

void CodingPage::Connect() {
    for (QWidget* w :
         {static_cast<QWidget*>(firstKeyWordEdit_), static_cast<QWidget*>(secondKeyWordEdit_),
          static_cast<QWidget*>(preselectedList_), static_cast<QWidget*>(fullList_),
          static_cast<QWidget*>(suggestionsList_), static_cast<QWidget*>(fullListSearch_)}) {
        w->installEventFilter(this);
    }
    connect(fullListSearch_, &QLineEdit::textEdited, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        const int visible = FullListVisibleLines();
        Command([&](Session& s) { SelectFullListByText(s, text, visible); });
    });
    // The page's keys work wherever the focus is on the page, and only while it is in front.
    auto onKey = [this](Key key, auto&& slot) {
        connect(new QShortcut(KeysOf(key), this), &QShortcut::activated, this, slot);
    };
    onKey(Key::Code, [this] { codeButton_->click(); });
    onKey(Key::Missing, [this] { missingButton_->click(); });
    onKey(Key::NotApplicable, [this] { notApplicableButton_->click(); });
    onKey(Key::Repeat, [this] { repeatButton_->click(); });
    onKey(Key::Cancel, [this] { cancelButton_->click(); });
    onKey(Key::PreviousOccupation, [this] { previousOccupationButton_->click(); });
    onKey(Key::NextOccupation, [this] { nextOccupationButton_->click(); });
    onKey(Key::PreviousRecord, [this] { previousRecordButton_->click(); });
    onKey(Key::NextRecord, [this] { nextRecordButton_->click(); });
    onKey(Key::FullListSearch, [this] {
        categoryTabs_->setCurrentIndex(IndexOf(CategoryTab::Full));
        fullListSearch_->setFocus(Qt::ShortcutFocusReason);
        fullListSearch_->selectAll();
    });
    onKey(Key::SwitchLists, [this] {
        categoryTabs_->setCurrentIndex((categoryTabs_->currentIndex() + 1) %
                                       categoryTabs_->count());
        switch (TabAt(categoryTabs_->currentIndex())) {
            case CategoryTab::Full:
                fullListSearch_->setFocus(Qt::ShortcutFocusReason);
                fullListSearch_->selectAll();
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
        connect(new QShortcut(SuggestionKeys(n), this), &QShortcut::activated, this,
                [this, n] { CodeLine(suggestionsList_, n - 1); });
    }
    onKey(Key::CodeAllIdentical, [this] { codeAllIdenticalButton_->click(); });
    onKey(Key::SecondKeyWord, [this] {
        if (!secondKeyWordCheck_->isEnabled()) return;
        secondKeyWordCheck_->click();
        if (secondKeyWordEdit_->isEnabled()) {
            secondKeyWordEdit_->setFocus(Qt::ShortcutFocusReason);
            secondKeyWordEdit_->selectAll();
        } else {
            FocusKeyWords();
        }
    });
    onKey(Key::Undo,
          [this] { Act([](Session& s) { InReview(s) ? TakeBackReviewVerdict(s) : Undo(s); }); });
    onKey(Key::Redo, [this] { Act([](Session& s) { Redo(s); }); });
    onKey(Key::RespondentSelector, [this] {
        respondentSelector_->setFocus(Qt::ShortcutFocusReason);
        respondentSelector_->lineEdit()->selectAll();
    });
    connect(nextOccupationButton_, &QToolButton::clicked, this,
            [this] { Act([](Session& s) { NextOccupation(s); }); });
    connect(previousOccupationButton_, &QToolButton::clicked, this,
            [this] { Act([](Session& s) { PreviousOccupation(s); }); });
    connect(nextRecordButton_, &QToolButton::clicked, this,
            [this] { Act([](Session& s) { NextRecord(s); }); });
    connect(previousRecordButton_, &QToolButton::clicked, this,
            [this] { Act([](Session& s) { PreviousRecord(s); }); });
    connect(respondentSelector_, &QComboBox::activated, this,
            [this](int index) { Act([&](Session& s) { SelectRespondentEntry(s, index); }); });
    connect(respondentSelector_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const std::string text = ToBytes(respondentSelector_->currentText());
        Act([&](Session& s) { PickRespondent(s, text); });
    });

    connect(codeButton_, &QPushButton::clicked, this, [this] {
        Act([](Session& s) { InReview(s) ? ReviewCodeSelected(s) : CodeSelected(s); });
    });
    connect(notApplicableButton_, &QPushButton::clicked, this,
            [this] { Act([](Session& s) { MarkNotApplicable(s); }); });
    connect(missingButton_, &QPushButton::clicked, this,
            [this] { Act([](Session& s) { MarkMissing(s); }); });
    connect(repeatButton_, &QPushButton::clicked, this,
            [this] { Act([](Session& s) { RepeatLastCode(s); }); });
    connect(cancelButton_, &QPushButton::clicked, this,
            [this] { Act([](Session& s) { ClearCode(s); }); });

    connect(firstKeyWordEdit_, &QLineEdit::textChanged, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        Command([&](Session& s) { SetFirstKeyWord(s, text); });
    });
    connect(secondKeyWordEdit_, &QLineEdit::textChanged, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        Command([&](Session& s) { SetSecondKeyWord(s, text); });
    });
    connect(secondKeyWordCheck_, &QCheckBox::clicked, this,
            [this](bool checked) { Command([&](Session& s) { UseSecondKeyWord(s, checked); }); });

    connect(codeAllIdenticalButton_, &QPushButton::clicked, this,
            [this] { Act([](Session& s) { CodeAllIdentical(s); }); });
    connect(suggestionsList_, &QListView::clicked, this, [this](const QModelIndex& i) {
        Command([&](Session& s) { SelectSuggestionLine(s, i.row()); });
    });
    connect(suggestionsList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (selected.isEmpty()) return;
                const int row = selected.indexes().first().row();
                Command([&](Session& s) {
                    if (s.View.SuggestionSelected != row) SelectSuggestionLine(s, row);
                });
            });
    connect(suggestionsList_, &QListView::doubleClicked, this,
            [this](const QModelIndex& i) { CodeLine(suggestionsList_, i.row()); });
    connect(preselectedList_, &QListView::clicked, this, [this](const QModelIndex& i) {
        Command([&](Session& s) { SelectPreselectedLine(s, i.row()); });
    });
    connect(fullList_, &QListView::clicked, this, [this](const QModelIndex& i) {
        Command([&](Session& s) { SelectFullListLine(s, i.row()); });
    });
    // Keyboard moves in a list select too. Only a change of the selection counts: a list that
    // gains the focus sets its current line without selecting it.
    connect(preselectedList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (selected.isEmpty()) return;
                const int row = selected.indexes().first().row();
                Command([&](Session& s) {
                    if (s.View.PreselectedSelected != row) SelectPreselectedLine(s, row);
                });
            });
    connect(fullList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (selected.isEmpty()) return;
                const int row = selected.indexes().first().row();
                Command([&](Session& s) {
                    if (s.View.FullSelected != row) SelectFullListLine(s, row);
                });
            });
    connect(preselectedList_, &QListView::doubleClicked, this,
            [this](const QModelIndex& i) { CodeLine(preselectedList_, i.row()); });
    connect(fullList_, &QListView::doubleClicked, this,
            [this](const QModelIndex& i) { CodeLine(fullList_, i.row()); });
    connect(categoryTabs_, &QTabWidget::currentChanged, this, [this](int index) {
        const int visible = FullListVisibleLines();
        const CategoryTab tab = TabAt(index);
        Command([&](Session& s) { ShowCategoryTab(s, tab, visible); });
    });
}

void CodingPage::Render(Session& s) {
    rendering_ = true;
    const CodingView& v = s.View;
    // The classification's name in the captions: VKT-2009, or the profile's.
    const QString name = FromBytes(ClassificationDisplayName(s.Clf));
    const QString assigned = FromBytes(UiText(Ui::AssignedCategoryOf)) + name;
    if (assignedGroup_->title() != assigned) assignedGroup_->setTitle(assigned);
    const QString full = FromBytes(UiText(Ui::FullClassification)) + name;
    if (const int tab = categoryTabs_->indexOf(fullPage_); categoryTabs_->tabText(tab) != full) {
        categoryTabs_->setTabText(tab, full);
    }
    const QString banner = FromBytes(ReviewBannerText(s));
    reviewBanner_->setText(banner);
    reviewBanner_->setVisible(!banner.isEmpty());

    // Respondent selector.
    if (shownSelectorVersion_ != static_cast<std::uint64_t>(v.SelectorVersion)) {
        const std::vector<int>* records = &s.Cases.SelectorRecords;
        const std::vector<TOsoba>* people = &s.Cases.Respondents;
        selectorModel_->SetLines(
            static_cast<int>(records->size()), [records, people](int i) -> const std::string& {
                return (*people)[static_cast<size_t>((*records)[static_cast<size_t>(i)])]
                    .RespondentId;
            });
        shownSelectorVersion_ = static_cast<std::uint64_t>(v.SelectorVersion);
    }
    respondentSelector_->setCurrentIndex(v.SelectorSelected);
    if (v.SelectorSelected < 0) respondentSelector_->setEditText(QString());

    occupationCaption_->setText(FromBytes(v.OccupationCaption));
    SetBoxText(assignedCodeEdit_, v.CodeText);
    assignedCodeEdit_->document()->setDefaultTextOption(QTextOption(Qt::AlignCenter));
    SetBoxText(assignedLabelEdit_, v.LabelText);
    lastCodeEdit_->setText(FromBytes(v.LastCodeText));
    lastCodeEdit_->setToolTip(FromBytes(v.LastCodeHint));

    for (int n = 1; n <= 13; ++n) {
        const InfoBoxView& info = v.Info[static_cast<size_t>(n)];
        infoCaptions_[n]->setVisible(info.Visible);
        infoBoxes_[n]->setVisible(info.Visible);
        if (info.Visible) {
            infoCaptions_[n]->setText(FromBytes(info.Caption));
            SetBoxText(infoBoxes_[n], info.Text);
        }
    }

    const QString key1 = FromBytes(v.Key1);
    if (firstKeyWordEdit_->text() != key1) firstKeyWordEdit_->setText(key1);
    firstKeyWordEdit_->setEnabled(v.Key1Enabled);
    secondKeyWordCheck_->setChecked(v.SecondKeyOn);
    const QString key2 = FromBytes(v.Key2);
    if (secondKeyWordEdit_->text() != key2) secondKeyWordEdit_->setText(key2);
    secondKeyWordEdit_->setEnabled(v.Key2Enabled);

    // Category panel.
    if (shownSuggestionsVersion_ != static_cast<std::uint64_t>(v.SuggestionsVersion)) {
        const std::vector<std::string>* lines = &v.SuggestionLines;
        suggestionsModel_->SetLines(
            static_cast<int>(lines->size()),
            [lines](int i) -> const std::string& { return (*lines)[static_cast<size_t>(i)]; });
        shownSuggestionsVersion_ = static_cast<std::uint64_t>(v.SuggestionsVersion);
    }
    if (v.SuggestionSelected >= 0) {
        suggestionsList_->setCurrentIndex(suggestionsModel_->index(v.SuggestionSelected));
    } else {
        suggestionsList_->clearSelection();
    }
    SetBoxText(suggestionsDescription_, v.SuggestionDescription);
    categoryTabs_->setTabVisible(IndexOf(CategoryTab::Suggestions), s.Suggester != nullptr);
    // Only a changed list is rebuilt: a reset on every command would also lose the line the
    // mouse pressed, and with it the second click of a double-click.
    if (shownPreselectedVersion_ != static_cast<std::uint64_t>(v.PreselectedVersion)) {
        const std::vector<std::string>* pre = &v.PreselectedLines;
        preselectedModel_->SetLines(
            static_cast<int>(pre->size()),
            [pre](int i) -> const std::string& { return (*pre)[static_cast<size_t>(i)]; });
        shownPreselectedVersion_ = static_cast<std::uint64_t>(v.PreselectedVersion);
    }
    // The line that Enter in the key-word box goes to stands out, once per list and case.
    const std::array<long long, 4> markFor = {v.PreselectedVersion, s.CurrentRecord, s.CurrentField,
                                              v.SuggestionsVersion};
    if (markFor != preselectedMarkFor_) {
        preselectedModel_->MarkRow(BestPreselectedLine(s));
        preselectedMarkFor_ = markFor;
    }
    if (v.PreselectedSelected >= 0) {
        preselectedList_->setCurrentIndex(preselectedModel_->index(v.PreselectedSelected));
    } else {
        preselectedList_->clearSelection();
    }
    SetBoxText(preselectedDescription_, v.PreselectedDescription);
    listNote_->setText(FromBytes(v.ListNote));
    listNote_->setVisible(!v.ListNote.empty());

    if (shownFullListVersion_ == UINT64_MAX) {
        const std::vector<std::string>* full = &s.Clf.FullListLines;
        fullListModel_->SetLines(
            static_cast<int>(full->size()),
            [full](int i) -> const std::string& { return (*full)[static_cast<size_t>(i)]; });
        shownFullListVersion_ = 0;
    }
    if (v.FullSelected >= 0) {
        fullList_->setCurrentIndex(fullListModel_->index(v.FullSelected));
    } else {
        fullList_->selectionModel()->clear();
    }
    if (shownFullScroll_ != v.FullScrollRequest) {
        shownFullScroll_ = v.FullScrollRequest;
        fullList_->scrollTo(fullListModel_->index(v.FullTopLine), QAbstractItemView::PositionAtTop);
    }
    SetBoxText(fullDescription_, v.FullDescription);
    categoryTabs_->setCurrentIndex(IndexOf(v.ActiveTab));
    rendering_ = false;
}

}  // namespace tarnwick::gui
