#include "gui/user_guide.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

// "## Name" -> 2; 0 for a line that is no heading.
int HeadingLevel(QStringView line) {
    int level = 0;
    while (level < line.size() && line[level] == u'#') ++level;
    return level > 0 && level < line.size() && line[level] == u' ' ? level : 0;
}

}  // namespace

QString ManualSections(const QString& markdown, const QStringList& headings) {
    QStringList out;
    int inside = 0;  // the level of the section being copied; 0 outside one
    for (const QString& line : markdown.split(u'\n')) {
        const int level = HeadingLevel(line);
        if (level > 0 && inside > 0 && level <= inside) inside = 0;
        if (level > 0 && inside == 0 && headings.contains(line.mid(level + 1).trimmed())) {
            inside = level;
        }
        if (inside > 0) out.append(line);
    }
    return out.join(u'\n');
}

UserGuide::UserGuide(QWidget* parent) : QDialog(parent) {
    setObjectName("UserGuide");
    setWindowTitle(u"Tarnwick user guide"_s);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QTextBrowser(this);
    text->setObjectName("UserGuideText");
    text->setOpenExternalLinks(true);
    QFile file(u":/tarnwick/README.md"_s);
    const QString manual =
        file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    text->setMarkdown(ManualSections(
        manual, {u"Working with Tarnwick"_s,
                 u"When something goes wrong: the lock, the journal and the side files"_s}));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->availableSize() : QSize(1366, 768);
    resize(std::min(900, area.width() - 80), area.height() * 4 / 5);
}

}  // namespace tarnwick::gui
