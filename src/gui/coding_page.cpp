#include "gui/coding_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/navigation.h"
#include "core/coding/search.h"
#include "core/text/interface_texts.h"
#include "core/session/session.h"
#include "gui/convert.h"
#include "gui/list_models.h"
#include "gui/main_window.h"

namespace tarnwick::gui {

namespace {

QString Ui(int slot) { return FromBytes(UiText(slot)); }

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
        Command([&](Session& s) { RichEditSelectionChange(s, text); });
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

    // Navigation bar.
    auto* navTitle = new QLabel(Ui(23), left);
    navTitle->setObjectName("Label13");
    navTitle->setFont(Bold(navTitle->font()));
    navTitle->setAlignment(Qt::AlignCenter);
    col->addWidget(navTitle);
    auto* navRow = new QHBoxLayout();
    auto makeNav = [&](const char* name, bool forward, bool twice, const char* hint) {
        auto* b = new QToolButton(left);
        b->setObjectName(name);
        b->setIcon(ArrowIcon(forward, twice));
        b->setFixedSize(30, 30);
        b->setToolTip(FromBytes(hint));
        return b;
    };
    auto* byRecords = new QGroupBox(Ui(25), left);
    byRecords->setObjectName("GroupBox1");
    auto* br = new QHBoxLayout(byRecords);
    comboBox1_ = new QComboBox(byRecords);
    comboBox1_->setObjectName("ComboBox1");
    comboBox1_->setEditable(true);
    comboBox1_->setInsertPolicy(QComboBox::NoInsert);
    comboBox1_->setCompleter(nullptr);  // a million identifiers: match on Enter, not per key
    comboBox1_->setFont(Bold(comboBox1_->font()));
    comboBox1_->setMinimumWidth(110);
    // Sizing to the contents would measure every identifier (a million of them).
    comboBox1_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    comboBox1_->setMinimumContentsLength(10);
    comboBox1_->setToolTip(FromBytes("Wyb\xF3r respondenta wed\xB3ug symbolu identyfikacyjnego"));
    selectorModel_ = new LineListModel(comboBox1_);
    comboBox1_->setModel(selectorModel_);
    if (auto* view = qobject_cast<QListView*>(comboBox1_->view())) view->setUniformItemSizes(true);
    bitBtn4_ = makeNav("BitBtn4", false, true,
                       "Przechodzi do tego samego zawodu u poprzedniej osoby");
    bitBtn3_ = makeNav("BitBtn3", true, true, "Przechodzi do tego samego zawodu u nast\xEApnej osoby");
    br->addWidget(comboBox1_, 1);
    br->addWidget(bitBtn4_);
    br->addWidget(bitBtn3_);
    auto* byOccupations = new QGroupBox(Ui(27), left);
    byOccupations->setObjectName("GroupBox2");
    auto* bo = new QHBoxLayout(byOccupations);
    bitBtn2_ = makeNav("BitBtn2", false, false, "Przechodzi do poprzedniego zawodu");
    bitBtn1_ = makeNav("BitBtn1", true, false, "Przechodzi do nast\xEApnego zawodu");
    bo->addWidget(bitBtn2_);
    bo->addWidget(bitBtn1_);
    navRow->addWidget(byRecords, 1);
    navRow->setSpacing(6);
    navRow->addWidget(byOccupations);
    col->addLayout(navRow);

    // The case.
    label12_ = new QLabel(left);
    label12_->setObjectName("Label12");
    label12_->setFont(Bold(label12_->font()));
    label12_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label12_->setWordWrap(true);
    col->addWidget(label12_);

    assignedGroup_ = new QGroupBox(Ui(29) + kClassificationDisplayEnglish, left);
    assignedGroup_->setObjectName("GroupBox3");
    auto* ag = new QHBoxLayout(assignedGroup_);
    richEdit11_ = new QPlainTextEdit(assignedGroup_);
    richEdit11_->setObjectName("RichEdit11");
    richEdit11_->setReadOnly(true);
    QFont big = richEdit11_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    richEdit11_->setFont(big);
    richEdit11_->setFixedSize(80, 36);
    richEdit11_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    richEdit11_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    richEdit12_ = new QPlainTextEdit(assignedGroup_);
    richEdit12_->setObjectName("RichEdit12");
    richEdit12_->setReadOnly(true);
    richEdit12_->setFixedHeight(36);
    for (QPlainTextEdit* box : {richEdit11_, richEdit12_}) {
        connect(box, &QPlainTextEdit::selectionChanged, this, [this, box] {
            if (rendering_) return;
            const std::string text = ToBytes(box->textCursor().selectedText());
            Command([&](Session& s) { RichEditSelectionChange(s, text); });
        });
    }
    ag->addWidget(richEdit11_);
    ag->addWidget(richEdit12_, 1);
    col->addWidget(assignedGroup_);

    auto* actions = new QGroupBox(Ui(31), left);
    actions->setObjectName("GroupBox4");
    // Four small buttons in two rows, the last code beside REPEAT, the large CODE on the right.
    auto* ac = new QGridLayout(actions);
    ac->setHorizontalSpacing(6);
    auto makeButton = [&](const char* name, int slot) {
        auto* b = new QPushButton(Ui(slot), actions);
        b->setObjectName(name);
        return b;
    };
    button1_ = makeButton("Button1", 33);
    button1_->setToolTip(QString::fromUtf8("Zakodowanie zamiast zawodu sytuacji \"nie dotyczy\""));
    button2_ = makeButton("Button2", 35);
    button2_->setToolTip(QString("Zakodowanie braku danych"));
    button4_ = makeButton("Button4", 39);
    button3_ = makeButton("Button3", 37);
    edit2_ = new QLineEdit(actions);
    edit2_->setObjectName("Edit2");
    edit2_->setReadOnly(true);
    edit2_->setFont(Bold(edit2_->font()));
    edit2_->setFixedWidth(52);
    edit2_->setAlignment(Qt::AlignCenter);
    bitBtn5_ = new QPushButton(Ui(41), actions);
    bitBtn5_->setObjectName("BitBtn5");
    bitBtn5_->setIcon(TickIcon());
    bitBtn5_->setIconSize(QSize(26, 26));
    QFont codeFont = Bold(bitBtn5_->font());
    codeFont.setPointSizeF(codeFont.pointSizeF() * 1.3);
    bitBtn5_->setFont(codeFont);
    bitBtn5_->setMinimumSize(120, 62);
    bitBtn5_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    bitBtn5_->setToolTip(QString("Zakodowanie aktualnie wybranego zawodu"));
    ac->addWidget(button1_, 0, 0);
    ac->addWidget(button2_, 0, 1, 1, 2);
    ac->addWidget(button4_, 1, 0);
    ac->addWidget(button3_, 1, 1);
    ac->addWidget(edit2_, 1, 2);
    ac->addWidget(bitBtn5_, 0, 3, 2, 1);
    ac->setColumnStretch(3, 1);
    col->addWidget(actions);

    // Key words.
    auto* keys = new QFrame(left);
    keys->setObjectName("Panel2");
    keys->setFrameShape(QFrame::StyledPanel);
    auto* kl = new QHBoxLayout(keys);
    kl->setContentsMargins(6, 3, 6, 3);
    auto* label30 = new QLabel(Ui(43), keys);
    label30->setObjectName("Label30");
    label30->setFont(Bold(label30->font()));
    auto* first = new QLabel(Ui(45), keys);
    first->setObjectName("Label32");
    edit1_ = new QLineEdit(keys);
    edit1_->setObjectName("Edit1");
    checkBox1_ = new QCheckBox(Ui(47), keys);
    checkBox1_->setObjectName("CheckBox1");
    edit3_ = new QLineEdit(keys);
    edit3_->setObjectName("Edit3");
    edit3_->setEnabled(false);
    kl->addWidget(label30);
    kl->addSpacing(8);
    kl->addWidget(first);
    kl->addWidget(edit1_, 1);
    kl->addWidget(checkBox1_);
    kl->addWidget(edit3_, 1);
    col->addWidget(keys);

    // Information fields 1..13, each caption right-aligned to the left of its box.
    static const char* const kBoxes[14] = {nullptr,     "RichEdit1",  "RichEdit2", "RichEdit3",
                                           "RichEdit4", "RichEdit5",  "RichEdit6", "RichEdit7",
                                           "RichEdit8", "RichEdit9",  "RichEdit10", "RichEdit15",
                                           "RichEdit16", "RichEdit17"};
    static const char* const kCaptions[14] = {nullptr,  "Label1", "Label2", "Label3", "Label4",
                                              "Label5", "Label6", "Label7", "Label8", "Label9",
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
    col->addStretch(1);

    // Right area: the category panel.
    pageControl2_ = new QTabWidget(splitter);
    pageControl2_->setObjectName("PageControl2");
    auto makeListPage = [&](const char* page, const char* list, const char* memo, QListView*& lv,
                            LineListModel*& model, QPlainTextEdit*& box) {
        auto* sheet = new QWidget(pageControl2_);
        sheet->setObjectName(page);
        auto* l = new QVBoxLayout(sheet);
        l->setContentsMargins(2, 2, 2, 2);
        auto* split = new QSplitter(Qt::Vertical, sheet);
        split->setObjectName(QString(page) + "Splitter");
        split->setHandleWidth(16);
        lv = new QListView(split);
        lv->setObjectName(list);
        lv->setUniformItemSizes(true);
        lv->setEditTriggers(QAbstractItemView::NoEditTriggers);
        lv->setSelectionMode(QAbstractItemView::SingleSelection);
        model = new LineListModel(lv);
        lv->setModel(model);
        QFont mono("Monospace");
        mono.setStyleHint(QFont::TypeWriter);
        lv->setFont(mono);
        box = new QPlainTextEdit(split);
        box->setObjectName(memo);
        box->setReadOnly(true);
        split->addWidget(lv);
        split->addWidget(box);
        split->setSizes({440, 200});
        l->addWidget(split);
        return sheet;
    };
    pageControl2_->addTab(
        makeListPage("TabSheet5", "ListBox1", "Memo1", listBox1_, listBox1Model_, memo1_),
        Ui(51));
    pageControl2_->addTab(
        makeListPage("TabSheet6", "ListBox2", "Memo3", listBox2_, listBox2Model_, memo3_),
        Ui(53) + kClassificationDisplayEnglish);

    splitter->addWidget(leftScroll);
    splitter->addWidget(pageControl2_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({500, 430});
}

void CodingPage::Connect() {
    connect(bitBtn1_, &QToolButton::clicked, this, [this] { Command([](Session& s) { NextOccupation(s); }); });
    connect(bitBtn2_, &QToolButton::clicked, this, [this] { Command([](Session& s) { PreviousOccupation(s); }); });
    connect(bitBtn3_, &QToolButton::clicked, this, [this] { Command([](Session& s) { NextRecord(s); }); });
    connect(bitBtn4_, &QToolButton::clicked, this, [this] { Command([](Session& s) { PreviousRecord(s); }); });
    connect(comboBox1_, &QComboBox::activated, this, [this](int index) {
        Command([&](Session& s) { ComboBox1Change(s, index); });
    });
    connect(comboBox1_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const std::string text = ToBytes(comboBox1_->currentText());
        Command([&](Session& s) { ComboBox1Typed(s, text); });
    });

    connect(bitBtn5_, &QPushButton::clicked, this, [this] { Command([](Session& s) { BitBtn5Click(s); }); });
    connect(button1_, &QPushButton::clicked, this, [this] { Command([](Session& s) { Button1Click(s); }); });
    connect(button2_, &QPushButton::clicked, this, [this] { Command([](Session& s) { Button2Click(s); }); });
    connect(button3_, &QPushButton::clicked, this, [this] { Command([](Session& s) { Button3Click(s); }); });
    connect(button4_, &QPushButton::clicked, this, [this] { Command([](Session& s) { Button4Click(s); }); });

    connect(edit1_, &QLineEdit::textChanged, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        Command([&](Session& s) { Edit1Change(s, text); });
    });
    connect(edit3_, &QLineEdit::textChanged, this, [this](const QString& t) {
        const std::string text = ToBytes(t);
        Command([&](Session& s) { Edit3Change(s, text); });
    });
    connect(checkBox1_, &QCheckBox::clicked, this, [this](bool checked) {
        Command([&](Session& s) { CheckBox1Click(s, checked); });
    });

    connect(listBox1_, &QListView::clicked, this, [this](const QModelIndex& i) {
        Command([&](Session& s) { ListBox1Click(s, i.row()); });
    });
    connect(listBox2_, &QListView::clicked, this, [this](const QModelIndex& i) {
        Command([&](Session& s) { ListBox2Click(s, i.row()); });
    });
    // Keyboard moves in a list select too. Only a change of the selection counts: a list that
    // gains the focus sets its current line without selecting it.
    connect(listBox1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (selected.isEmpty()) return;
                const int row = selected.indexes().first().row();
                Command([&](Session& s) {
                    if (s.View.PreselectedSelected != row) ListBox1Click(s, row);
                });
            });
    connect(listBox2_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (selected.isEmpty()) return;
                const int row = selected.indexes().first().row();
                Command([&](Session& s) {
                    if (s.View.FullSelected != row) ListBox2Click(s, row);
                });
            });
    connect(listBox1_, &QListView::doubleClicked, this, [this](const QModelIndex& i) {
        Command([&](Session& s) { ListBox1DblClick(s, i.row()); });
    });
    connect(listBox2_, &QListView::doubleClicked, this, [this](const QModelIndex& i) {
        Command([&](Session& s) { ListBox2DblClick(s, i.row()); });
    });
    connect(pageControl2_, &QTabWidget::currentChanged, this, [this](int index) {
        // Lines that fit in the list, so that the carried-over category stands in the middle.
        const int lineHeight = std::max(1, listBox2_->sizeHintForRow(0));
        const int visible = std::max(1, listBox2_->viewport()->height() / lineHeight);
        Command([&](Session& s) {
            PageControl2Change(s, index == 1 ? CategoryTab::Full : CategoryTab::Preselected,
                               visible);
        });
    });
}

void CodingPage::Render(Session& s) {
    rendering_ = true;
    const CodingView& v = s.View;

    // Respondent selector.
    if (shownSelectorVersion_ != static_cast<std::uint64_t>(v.SelectorVersion)) {
        const std::vector<int>* records = &s.Cases.SelectorRecords;
        const std::vector<TOsoba>* people = &s.Cases.Respondents;
        selectorModel_->SetLines(static_cast<int>(records->size()), [records, people](int i) -> const std::string& {
            return (*people)[static_cast<size_t>((*records)[static_cast<size_t>(i)])].RespondentId;
        });
        shownSelectorVersion_ = static_cast<std::uint64_t>(v.SelectorVersion);
    }
    comboBox1_->setCurrentIndex(v.SelectorSelected);
    if (v.SelectorSelected < 0) comboBox1_->setEditText(QString());

    label12_->setText(FromBytes(v.OccupationCaption));
    SetBoxText(richEdit11_, v.CodeText);
    richEdit11_->document()->setDefaultTextOption(QTextOption(Qt::AlignCenter));
    SetBoxText(richEdit12_, v.LabelText);
    edit2_->setText(FromBytes(v.LastCodeText));
    edit2_->setToolTip(FromBytes(v.LastCodeHint));

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
    if (edit1_->text() != key1) edit1_->setText(key1);
    edit1_->setEnabled(v.Key1Enabled);
    checkBox1_->setChecked(v.SecondKeyOn);
    const QString key2 = FromBytes(v.Key2);
    if (edit3_->text() != key2) edit3_->setText(key2);
    edit3_->setEnabled(v.Key2Enabled);

    // Category panel.
    // Only a changed list is rebuilt: a reset on every command would also lose the line the
    // mouse pressed, and with it the second click of a double-click.
    if (shownPreselectedVersion_ != static_cast<std::uint64_t>(v.PreselectedVersion)) {
        const std::vector<std::string>* pre = &v.PreselectedLines;
        listBox1Model_->SetLines(static_cast<int>(pre->size()), [pre](int i) -> const std::string& {
            return (*pre)[static_cast<size_t>(i)];
        });
        shownPreselectedVersion_ = static_cast<std::uint64_t>(v.PreselectedVersion);
    }
    if (v.PreselectedSelected >= 0) {
        listBox1_->setCurrentIndex(listBox1Model_->index(v.PreselectedSelected));
    } else {
        listBox1_->clearSelection();
    }
    SetBoxText(memo1_, v.PreselectedDescription);

    if (shownFullListVersion_ == UINT64_MAX) {
        const std::vector<std::string>* full = &s.Clf.FullListLines;
        listBox2Model_->SetLines(static_cast<int>(full->size()), [full](int i) -> const std::string& {
            return (*full)[static_cast<size_t>(i)];
        });
        shownFullListVersion_ = 0;
    }
    if (v.FullSelected >= 0) {
        listBox2_->setCurrentIndex(listBox2Model_->index(v.FullSelected));
    } else {
        listBox2_->selectionModel()->clear();
    }
    if (shownFullScroll_ != v.FullScrollRequest) {
        shownFullScroll_ = v.FullScrollRequest;
        listBox2_->scrollTo(listBox2Model_->index(v.FullTopLine), QAbstractItemView::PositionAtTop);
    }
    SetBoxText(memo3_, v.FullDescription);
    pageControl2_->setCurrentIndex(v.ActiveTab == CategoryTab::Full ? 1 : 0);
    rendering_ = false;
}

}  // namespace tarnwick::gui
