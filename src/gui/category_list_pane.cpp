#include "gui/category_list_pane.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QVBoxLayout>

#include "gui/convert.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

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

}  // namespace

CategoryListPane::CategoryListPane(CategoryTab tab, const char* page, const char* list,
                                   const char* memo, QWidget* parent)
    : QWidget(parent), tab_(tab) {
    setObjectName(page);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(2, 2, 2, 2);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QString::fromLatin1(page) + u"Splitter"_s);
    split->setHandleWidth(16);
    list_ = new QListView(split);
    list_->setObjectName(list);
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    model_ = new LineListModel(list_);
    list_->setModel(model_);
    list_->setItemDelegate(new WholeLineTipDelegate(list_));
    QFont mono(u"Monospace"_s);
    mono.setStyleHint(QFont::TypeWriter);
    list_->setFont(mono);
    description_ = new QPlainTextEdit(split);
    description_->setObjectName(memo);
    description_->setReadOnly(true);
    split->addWidget(list_);
    split->addWidget(description_);
    split->setSizes({440, 200});
    layout_->addWidget(split);
    list_->installEventFilter(this);

    connect(list_, &QListView::clicked, this, [this](const QModelIndex& i) {
        if (!drawing_) emit lineSelected(i.row());
    });
    // A list that gains the focus sets its current line without selecting it: only a change of
    // the selection counts.
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (drawing_ || selected.isEmpty()) return;
                emit lineSelected(selected.indexes().first().row());
            });
    connect(list_, &QListView::doubleClicked, this,
            [this](const QModelIndex& i) { emit lineCoded(i.row()); });
}

int CategoryListPane::RowCount() const { return model_->rowCount(); }

void CategoryListPane::AddAbove(QWidget* widget) { layout_->insertWidget(0, widget); }

void CategoryListPane::AddBelow(QWidget* widget) { layout_->addWidget(widget); }

void CategoryListPane::WrapLines() {
    list_->setUniformItemSizes(false);
    list_->setWordWrap(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setTextElideMode(Qt::ElideNone);
}

void CategoryListPane::ShowLines(std::uint64_t version, int count, LineListModel::Accessor lines) {
    if (version == shownVersion_) return;
    drawing_ = true;
    model_->SetLines(count, std::move(lines));
    drawing_ = false;
    shownVersion_ = version;
}

void CategoryListPane::ShowSelected(int row) {
    drawing_ = true;
    if (row >= 0) {
        list_->setCurrentIndex(model_->index(row));
    } else if (tab_ == CategoryTab::Full) {
        list_->selectionModel()->clear();  // and its current line, which Enter would go to
    } else {
        list_->clearSelection();
    }
    drawing_ = false;
}

void CategoryListPane::ShowDescription(const std::string& text) {
    const QString t = FromBytes(text);
    if (description_->toPlainText() != t) description_->setPlainText(t);
}

void CategoryListPane::Enter() {
    list_->setFocus(Qt::OtherFocusReason);
    if (list_->currentIndex().isValid()) list_->scrollTo(list_->currentIndex());
}

int CategoryListPane::VisibleLines() const {
    const int lineHeight = std::max(1, list_->sizeHintForRow(0));
    return std::max(1, list_->viewport()->height() / lineHeight);
}

void CategoryListPane::ScrollToTop(int row) {
    list_->scrollTo(model_->index(row), QAbstractItemView::PositionAtTop);
}

bool CategoryListPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_ || event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == 0;
    const bool shiftOnly = (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) == 0;
    if (shiftOnly && !key->text().isEmpty() && key->text().at(0).isPrint()) {
        emit typed(key->text());
        return true;
    }
    if (!plain) return false;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (list_->currentIndex().isValid()) emit lineCoded(list_->currentIndex().row());
            return true;
        case Qt::Key_Up:
            if (list_->currentIndex().row() > 0) return false;
            emit leftAtTop();
            return true;
        case Qt::Key_Escape:
            emit escaped();
            return true;
        default:
            return false;
    }
}

void CategoryListPane::Show(std::uint64_t version, const std::vector<std::string>& all,
                            int selected, const std::string& description) {
    const auto* lines = &all;
    ShowLines(version, static_cast<int>(all.size()),
              [lines](int i) -> const std::string& { return (*lines)[static_cast<size_t>(i)]; });
    ShowSelected(selected);
    ShowDescription(description);
}

}  // namespace tarnwick::gui
