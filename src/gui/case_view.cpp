#include "gui/case_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

#include "core/classification/profile.h"
#include "core/project/review.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "gui/convert.h"
#include "gui/widget_style.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

void SetBoxText(QPlainTextEdit* box, const std::string& text) {
    const QString t = FromBytes(text);
    if (box->toPlainText() != t) box->setPlainText(t);
}

}  // namespace

QString WhereText(const Session& s) {
    const auto& people = s.Cases.Respondents;
    if (s.CurrentRecord < 0 || s.CurrentRecord >= static_cast<int>(people.size())) return {};
    const TOsoba& o = people[static_cast<size_t>(s.CurrentRecord)];
    QString t = u"Respondent "_s + GroupedDigits(QString::number(s.CurrentRecord + 1)) + u" of "_s +
                GroupedDigits(QString::number(people.size())) + u"  \u00b7  ID "_s +
                FromBytes(o.RespondentId);
    if (o.Occupations.size() > 1) {
        t += u"  \u00b7  occupation "_s + QString::number(s.CurrentField + 1) + u" of "_s +
             QString::number(o.Occupations.size());
    }
    return t;
}

QPlainTextEdit* CaseView::MakeCaseText(QWidget* parent, const char* name, int height) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setFixedHeight(height + 6);
    box->setVerticalScrollBarPolicy(height > 30 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->document()->setDocumentMargin(2);
    connect(box, &QPlainTextEdit::selectionChanged, this, [this, box] {
        if (!drawing_) emit textSelected(box->textCursor().selectedText());
    });
    return box;
}

CaseView::CaseView(QWidget* parent) : QWidget(parent) {
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(4);
    reviewBanner_ = new QLabel(this);
    reviewBanner_->setObjectName("ReviewBanner");
    reviewBanner_->setWordWrap(true);
    reviewBanner_->setFont(Bold(reviewBanner_->font()));
    reviewBanner_->setStyleSheet(
        u"background: #fff1b8; color: #5c3d00; border: 2px solid #d9a400; padding: 5px"_s);
    reviewBanner_->hide();
    col->addWidget(reviewBanner_);
    whereLabel_ = new QLabel(this);
    whereLabel_->setObjectName("CaseWhere");
    whereLabel_->setFont(Bold(whereLabel_->font()));
    whereLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    col->addWidget(whereLabel_);
    occupationCaption_ = new QLabel(this);
    occupationCaption_->setObjectName("Label12");
    occupationCaption_->setFont(Bold(occupationCaption_->font()));
    occupationCaption_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    occupationCaption_->setWordWrap(true);
    col->addWidget(occupationCaption_);
    BuildAssigned();
    col->addWidget(assignedGroup_);
    lastGivenLabel_ = new QLabel(this);
    lastGivenLabel_->setObjectName("LastGiven");
    lastGivenLabel_->setWordWrap(true);
    col->addWidget(lastGivenLabel_);
    BuildInfoFields();
}

void CaseView::BuildAssigned() {
    assignedGroup_ = new QGroupBox(
        FromBytes(UiText(Ui::AssignedCategoryOf)) + FromBytes(kClassificationDisplayEnglish), this);
    assignedGroup_->setObjectName("GroupBox3");
    auto* ag = new QHBoxLayout(assignedGroup_);
    assignedCodeEdit_ = MakeCaseText(assignedGroup_, "RichEdit11", 30);
    QFont big = Bold(assignedCodeEdit_->font());
    big.setPointSizeF(big.pointSizeF() * 1.5);
    assignedCodeEdit_->setFont(big);
    assignedCodeEdit_->setFixedSize(96, 36);
    assignedLabelEdit_ = MakeCaseText(assignedGroup_, "RichEdit12", 30);
    ag->addWidget(assignedCodeEdit_);
    ag->addWidget(assignedLabelEdit_, 1);
}

void CaseView::BuildInfoFields() {
    // Information fields 1..13, each caption right-aligned to the left of its box.
    static const char* const kBoxes[14] = {nullptr,      "RichEdit1", "RichEdit2",  "RichEdit3",
                                           "RichEdit4",  "RichEdit5", "RichEdit6",  "RichEdit7",
                                           "RichEdit8",  "RichEdit9", "RichEdit10", "RichEdit15",
                                           "RichEdit16", "RichEdit17"};
    static const char* const kCaptions[14] = {nullptr,   "Label1",  "Label2",  "Label3", "Label4",
                                              "Label5",  "Label6",  "Label7",  "Label8", "Label9",
                                              "Label10", "Label11", "Label29", "Label31"};
    infoFields_ = new QWidget(this);
    auto* grid = new QGridLayout(infoFields_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    for (int n = 1; n <= 13; ++n) {
        auto* caption = new QLabel(infoFields_);
        caption->setObjectName(kCaptions[n]);
        caption->setAlignment(Qt::AlignRight | Qt::AlignTop);
        caption->setWordWrap(true);
        caption->setMaximumWidth(160);
        infoCaptions_[n] = caption;
        infoBoxes_[n] = MakeCaseText(infoFields_, kBoxes[n], 21);
        caption->hide();
        infoBoxes_[n]->hide();
    }
    ArrangeInfoFields(0);
}

void CaseView::ArrangeInfoFields(int visible) {
    const int columns = visible > 8 ? 2 : 1;
    if (columns == infoColumns_) return;
    infoColumns_ = columns;
    // In one column the first fields (title, duties, industry) have room for their lines.
    static const int kHeights[14] = {0, 35, 35, 60, 47, 21, 21, 21, 21, 21, 21, 21, 21, 21};
    auto* grid = static_cast<QGridLayout*>(infoFields_->layout());
    const int rows = (13 + columns - 1) / columns;
    for (int n = 1; n <= 13; ++n) {
        grid->removeWidget(infoCaptions_[n]);
        grid->removeWidget(infoBoxes_[n]);
        // In two, the job title and the duties keep two lines: they are what is coded.
        const int height = columns == 1 ? kHeights[n] : n <= 2 ? 35 : 21;
        infoBoxes_[n]->setFixedHeight(height + 6);
        infoBoxes_[n]->setVerticalScrollBarPolicy(height > 30 ? Qt::ScrollBarAsNeeded
                                                              : Qt::ScrollBarAlwaysOff);
        infoBoxes_[n]->setMinimumWidth(columns == 1 ? 315 : 120);
        infoCaptions_[n]->setMaximumWidth(columns == 1 ? 160 : 90);
        const int row = (n - 1) % rows;
        const int column = 2 * ((n - 1) / rows);
        grid->addWidget(infoCaptions_[n], row, column);
        grid->addWidget(infoBoxes_[n], row, column + 1);
    }
    for (int c = 0; c < 4; ++c) grid->setColumnStretch(c, c % 2 == 1 && c / 2 < columns ? 1 : 0);
}

void CaseView::Render(const Session& s) {
    drawing_ = true;
    const CodingView& v = s.View;
    // The classification's name in the caption: VKT-2009, or the profile's.
    const QString assigned =
        FromBytes(UiText(Ui::AssignedCategoryOf)) + FromBytes(ClassificationDisplayName(s.Clf));
    if (assignedGroup_->title() != assigned) assignedGroup_->setTitle(assigned);
    const QString banner = FromBytes(ReviewBannerText(s));
    reviewBanner_->setText(banner);
    reviewBanner_->setVisible(!banner.isEmpty());
    whereLabel_->setText(WhereText(s));
    lastGivenLabel_->setText(v.LastCodeText.empty()
                                 ? QString()
                                 : u"Last code given: "_s + FromBytes(v.LastCodeText) + u"  "_s +
                                       FromBytes(v.LastCodeHint));
    occupationCaption_->setText(FromBytes(v.OccupationCaption));
    SetBoxText(assignedCodeEdit_, v.CodeText);
    assignedCodeEdit_->document()->setDefaultTextOption(QTextOption(Qt::AlignCenter));
    SetBoxText(assignedLabelEdit_, v.LabelText);
    int visible = 0;
    for (int n = 1; n <= 13; ++n) visible += v.Info[static_cast<size_t>(n)].Visible ? 1 : 0;
    ArrangeInfoFields(visible);
    for (int n = 1; n <= 13; ++n) {
        const InfoBoxView& info = v.Info[static_cast<size_t>(n)];
        infoCaptions_[n]->setVisible(info.Visible);
        infoBoxes_[n]->setVisible(info.Visible);
        if (info.Visible) {
            infoCaptions_[n]->setText(FromBytes(info.Caption));
            SetBoxText(infoBoxes_[n], info.Text);
        }
    }
    drawing_ = false;
}

}  // namespace tarnwick::gui
