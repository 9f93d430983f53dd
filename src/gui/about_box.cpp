#include "gui/about_box.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/build_info.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("TAboutBox");
    setWindowTitle(u"Tarnwick application program"_s);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(2);
    auto* row = new QHBoxLayout(panel);

    auto* picture = new QLabel(panel);
    picture->setObjectName("ProgramIcon");
    // The picture is a JPEG stored in the program; Qt's JPEG plugin decodes it with libjpeg.
    QImageReader reader(u":/tarnwick/about.jpg"_s, "jpeg");
    const QImage image = reader.read();
    if (!image.isNull()) picture->setPixmap(QPixmap::fromImage(image));
    picture->setAlignment(Qt::AlignCenter);
    row->addWidget(picture);

    auto* text = new QVBoxLayout();
    auto addLine = [&](QStringView line, const char* name, bool bold = false) {
        auto* l = new QLabel(line.toString(), panel);
        l->setObjectName(name);
        l->setWordWrap(true);
        if (bold) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
        }
        text->addWidget(l);
    };
    addLine(u"Computer application program designed to code occupations", "ProductName", true);
    addLine(u"according to Varden Classification of Occupations VKT-2009.", "Version", true);
    addLine(QString::fromLatin1("Version " TARNWICK_VERSION ", build " TARNWICK_BUILD),
            "BuildLine");
    text->addSpacing(12);
    addLine(
        u"Written by the Tarnwick developers for the coding of occupations in surveys. It "
        u"accompanies the published description of the Varden Classification of "
        u"Occupations VKT-2009 and its occupational scales.",
        "Copyright");
    text->addSpacing(12);
    addLine(
        u"You may use and copy this program for coding survey data, free of charge, "
        u"provided that it is passed on whole and unchanged.",
        "Comments");
    addLine(
        u"The program is provided as it is, without any warranty. Its authors accept no "
        u"liability for any loss or damage that its use may cause; check the coded results "
        u"before you rely on them.",
        "Disclaimer");
    text->addStretch(1);
    row->addLayout(text, 1);
    layout->addWidget(panel, 1);

    auto* ok = new QPushButton(u"OK"_s, this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    setFixedSize(611, 387);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

}  // namespace tarnwick::gui
