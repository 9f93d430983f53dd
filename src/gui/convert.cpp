#include "gui/convert.h"

#include <QStringList>

#include "core/text/cp1250.h"

namespace tarnwick::gui {

QString FromBytes(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const char32_t u = Cp1250ToUnicode(static_cast<unsigned char>(c));
        out.append(QChar(static_cast<char16_t>(u)));
    }
    return out;
}

std::string ToBytes(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        const int b = UnicodeToCp1250(ch.unicode());
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

QString FromPath(const std::string& path) { return QString::fromLocal8Bit(path); }

std::string ToPath(const QString& path) { return path.toLocal8Bit().toStdString(); }

QString JoinLines(const std::vector<std::string>& lines) {
    QString out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) out.append(u'\n');
        out.append(FromBytes(lines[i]));
    }
    return out;
}

std::vector<std::string> SplitToLines(const QString& text) {
    std::vector<std::string> out;
    if (text.isEmpty()) return out;
    for (const QString& l : text.split(u'\n')) out.push_back(ToBytes(l));
    return out;
}

}  // namespace tarnwick::gui
