#include "gui/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick::gui {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("TAboutBox");
    setWindowTitle("Tarnwick application program");
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        "Computer application program designed to code occupations\n"
        "according to Varden Classification of Occupations VKT-2009.",
        this);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("OKButton");
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedSize(611, 387);
}

}  // namespace tarnwick::gui
