#include "listing/CsvText.h"

#include <string_view>

namespace pelmora {

std::string FormulaSafe(const std::string& text) {
    // Names come from unauthenticated datagrams; a spreadsheet must not run one as a formula.
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos) return "'" + text;
    return text;
}

}  // namespace pelmora
