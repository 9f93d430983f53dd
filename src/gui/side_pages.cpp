#include "gui/side_pages.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "core/coding/pages.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "gui/convert.h"
#include "gui/widget_style.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

// A page's header strip: a bold caption over the page's width.
QLabel* HeaderStrip(const char* name, Ui text, QWidget* parent) {
    auto* label = new QLabel(FromBytes(UiText(text)), parent);
    label->setObjectName(name);
    label->setFont(Bold(label->font()));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(6);
    return label;
}

// A group of radio buttons under lines of explanation, the buttons numbered from 0.
QButtonGroup* RadioGroup(const char* name, const QString& title, const QStringList& lines,
                         const QStringList& items, QWidget* parent, QBoxLayout* row) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        auto* l = new QLabel(lines[i], box);
        l->setObjectName(QString::fromLatin1(name) + u"Line"_s + QString::number(i));
        l->setWordWrap(true);
        layout->addWidget(l);
    }
    auto* group = new QButtonGroup(box);
    for (qsizetype i = 0; i < items.size(); ++i) {
        auto* rb = new QRadioButton(items[i], box);
        rb->setObjectName(QString::fromLatin1(name) + u"Item"_s + QString::number(i));
        group->addButton(rb, static_cast<int>(i));
        layout->addWidget(rb);
    }
    layout->addStretch(1);
    row->addWidget(box);
    return group;
}

QString Text(Ui ui) { return FromBytes(UiText(ui)); }

}  // namespace

TextPage::TextPage(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    const bool notepad = kind == Kind::Notepad;
    setObjectName(notepad ? "TabSheet1" : "TabSheet8");
    auto* layout = new QVBoxLayout(this);
    if (notepad) {
        layout->addWidget(HeaderStrip("NotepadTitle", Ui::NotepadTitle, this));
        for (auto [name, text] :
             {std::pair{"NotepadLine1", Ui::NotepadLine1}, {"NotepadLine2", Ui::NotepadLine2}}) {
            auto* line = new QLabel(Text(text), this);
            line->setObjectName(name);
            layout->addWidget(line);
        }
    } else {
        layout->addWidget(HeaderStrip("ReportTitle", Ui::ReportTitle, this));
    }
    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName(notepad ? "RichEdit13" : "RichEdit14");
    if (notepad) edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(edit_, 1);
    connect(edit_, &QPlainTextEdit::textChanged, this, [this] {
        if (!drawing_) emit edited(edit_->toPlainText());
    });
}

void TextPage::Render(const Session& s) {
    drawing_ = true;
    const QString text = JoinLines(kind_ == Kind::Notepad ? s.Notepad : s.Report);
    if (edit_->toPlainText() != text) edit_->setPlainText(text);
    drawing_ = false;
}

OptionsPage::OptionsPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TabSheet7");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HeaderStrip("OptionsTitle", Ui::CodingOptions, this));
    // One group under the other: side by side, their longest lines would make every page of
    // the window wider than a 1366-pixel screen.
    auto* row = new QVBoxLayout();
    layout->addLayout(row);
    notApplicable_ =
        RadioGroup("RadioGroup1", Text(Ui::AccessibilityTitle),
                   {Text(Ui::AccessibilityLine1), Text(Ui::AccessibilityLine2),
                    Text(Ui::AccessibilityLine3), Text(Ui::AccessibilityLine4)},
                   {Text(Ui::HideNotApplicable), Text(Ui::ShowNotApplicable)}, this, row);
    // The table says "(on default)" here and "(default)" beside; the window says it one way.
    afterCoding_ =
        RadioGroup("RadioGroup2", Text(Ui::NavigationTitle),
                   {Text(Ui::NavigationLine1), Text(Ui::NavigationLine2), Text(Ui::NavigationLine3),
                    Text(Ui::NavigationLine4), Text(Ui::NavigationLine5)},
                   {Text(Ui::NextInSameRecord).replace(u"(on default)"_s, u"(default)"_s),
                    Text(Ui::SameInNextRecord), Text(Ui::StayInSameField)},
                   this, row);
    identical_ = RadioGroup(
        "RadioGroup3", u"Code all identical"_s,
        {u"Which answers count as identical to the one coded:"_s},
        {u"the same text in the text fields, such as job title and tasks (default)"_s,
         u"the same in every information field, the status and other fields answered from a "
         u"list included"_s},
        this, row);
    layout->addStretch(1);
    connect(notApplicable_, &QButtonGroup::idClicked, this,
            [this](int id) { emit showNotApplicableChosen(id == 1); });
    connect(afterCoding_, &QButtonGroup::idClicked, this,
            [this](int id) { emit afterCodingChosen(id); });
    connect(identical_, &QButtonGroup::idClicked, this,
            [this](int id) { emit identicalTextOnlyChosen(id == 0); });
}

void OptionsPage::Render(const Session& s) {
    notApplicable_->button(s.ShowNotApplicable ? 1 : 0)->setChecked(true);
    afterCoding_->button(static_cast<int>(s.AfterCoding))->setChecked(true);
    identical_->button(s.IdenticalTextFieldsOnly ? 0 : 1)->setChecked(true);
}

ErrorPage::ErrorPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TabSheet2");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HeaderStrip("ErrorTitle", Ui::ErrorMessages, this));
    lines_ = new QPlainTextEdit(this);
    lines_->setObjectName("Memo2");
    lines_->setReadOnly(true);
    lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(u"Monospace"_s);
    mono.setStyleHint(QFont::TypeWriter);
    lines_->setFont(mono);
    layout->addWidget(lines_, 1);
}

void ErrorPage::Render(const Session& s) {
    if (s.ErrorLines.size() < shown_) shown_ = 0, lines_->clear();
    if (s.ErrorLines.size() > shown_) {
        const int firstNew = static_cast<int>(shown_);
        // One append of all new lines: a line at a time lays the page out again each time,
        // which took a minute for the faults of a large damaged classification.
        QStringList lines;
        lines.reserve(static_cast<qsizetype>(s.ErrorLines.size() - shown_));
        for (size_t i = shown_; i < s.ErrorLines.size(); ++i) {
            lines.append(FromBytes(s.ErrorLines[i]));
        }
        lines_->appendPlainText(lines.join(u'\n'));
        // The coder reads the new errors from their first line on: put it at the top.
        QTextCursor at(lines_->document()->findBlockByNumber(firstNew));
        lines_->setTextCursor(at);
        lines_->verticalScrollBar()->setValue(firstNew);
    }
    shown_ = s.ErrorLines.size();
}

}  // namespace tarnwick::gui
