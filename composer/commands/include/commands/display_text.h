#pragma once
// The program's texts as the widgets show them.
#include <QString>
#include <string>

namespace composer {

// The program breaks lines with CR LF (or a lone CR); the widgets with LF.
QString DisplayText(const std::string& text);

}  // namespace composer
