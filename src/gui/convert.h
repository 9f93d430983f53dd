#pragma once
// The window's boundary between the core's Windows-1250 bytes and Qt's Unicode strings.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/interface_texts.h"

namespace tarnwick::gui {

QString FromBytes(std::string_view bytes);
// Characters the code page lacks become '?'.
std::string ToBytes(const QString& text);
// File paths are the file system's own bytes (UTF-8 here), not code-page text.
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);
// Lines joined by '\n', for a text box.
QString JoinLines(const std::vector<std::string>& lines);
std::vector<std::string> SplitToLines(const QString& text);

}  // namespace tarnwick::gui
