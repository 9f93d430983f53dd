#include "gui/key_words_pane.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "core/session/coding_view.h"
#include "core/text/interface_texts.h"
#include "gui/convert.h"
#include "gui/shortcuts.h"
#include "gui/widget_style.h"

namespace tarnwick::gui {

KeyWordsPane::KeyWordsPane(QWidget* parent) : QFrame(parent) {
    setObjectName("Panel2");
    setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 6, 3);
    auto* title = new QLabel(FromBytes(UiText(Ui::KeyWords)), this);
    title->setObjectName("Label30");
    title->setFont(Bold(title->font()));
    auto* firstLabel = new QLabel(FromBytes(UiText(Ui::FirstKeyWord)), this);
    firstLabel->setObjectName("Label32");
    first_ = new QLineEdit(this);
    first_->setObjectName("Edit1");
    secondCheck_ = new QCheckBox(FromBytes(UiText(Ui::SecondKeyWord)), this);
    secondCheck_->setObjectName("CheckBox1");
    second_ = new QLineEdit(this);
    second_->setObjectName("Edit3");
    second_->setEnabled(false);
    row->addWidget(title);
    row->addSpacing(8);
    row->addWidget(firstLabel);
    row->addWidget(first_, 1);
    row->addWidget(secondCheck_);
    row->addWidget(second_, 1);
    first_->installEventFilter(this);
    second_->installEventFilter(this);
    connect(first_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!drawing_) emit firstChanged(t);
    });
    connect(second_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!drawing_) emit secondChanged(t);
    });
    connect(secondCheck_, &QCheckBox::clicked, this, [this](bool on) { emit secondToggled(on); });
}

bool KeyWordsPane::Empty() const { return first_->text().isEmpty() && second_->text().isEmpty(); }

QLineEdit* KeyWordsPane::TypingBox() const { return first_->isEnabled() ? first_ : second_; }

bool KeyWordsPane::Focus() {
    QLineEdit* box = TypingBox();
    if (!box->isEnabled()) return false;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    return true;
}

void KeyWordsPane::Append(const QString& text) {
    QLineEdit* box = TypingBox();
    if (!box->isEnabled()) return;
    box->setFocus(Qt::OtherFocusReason);
    box->deselect();
    box->end(false);
    box->insert(text);
}

void KeyWordsPane::ToggleSecond() {
    if (!secondCheck_->isEnabled()) return;
    secondCheck_->click();
    if (second_->isEnabled()) {
        second_->setFocus(Qt::ShortcutFocusReason);
        second_->selectAll();
    } else {
        Focus();
    }
}

void KeyWordsPane::Render(const CodingView& v) {
    drawing_ = true;
    const QString key1 = FromBytes(v.Key1);
    if (first_->text() != key1) first_->setText(key1);
    first_->setEnabled(v.Key1Enabled);
    secondCheck_->setChecked(v.SecondKeyOn);
    const QString key2 = FromBytes(v.Key2);
    if (second_->text() != key2) second_->setText(key2);
    second_->setEnabled(v.Key2Enabled);
    drawing_ = false;
}

bool KeyWordsPane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // The box would take Ctrl+Z for its own text; on this page it undoes a coding action.
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        if (pressed == KeysOf(Key::Undo) || pressed == KeysOf(Key::Redo)) return true;
    }
    if (event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit enterPressed();
            return true;
        case Qt::Key_Down:
        case Qt::Key_PageDown:
            emit downPressed();
            return true;
        case Qt::Key_Escape:
            emit escapePressed();
            return true;
        default:
            return false;
    }
}

}  // namespace tarnwick::gui
