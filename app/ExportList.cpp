#include "app/ExportList.h"

#include <array>

#include "listing/RowOutput.h"
#include "ui/TemplateDialog.h"

namespace pelmora {

std::string ChooseExportFileWithDialog(TemplateDialog& owner, const std::string& suggestedName) {
    return owner.ChooseSaveFile("Export list", suggestedName, "CSV files", "*.csv");
}

std::string ExportFileText(const DeviceListing& listing, const std::string& listSeparator) {
    // Only separators the cells are quoted and guarded for; a locale's other choice would split no cell.
    const bool known = listSeparator == ";" || listSeparator == "\t";
    return "\xEF\xBB\xBF" + FormatCsv(listing, known ? listSeparator[0] : ',');
}

std::string ExportFileName(const std::tm& day) {
    std::array<char, 16> date{};
    if (std::strftime(date.data(), date.size(), "%Y-%m-%d", &day) == 0) return "pelmora-devices.csv";
    return std::string("pelmora-devices-") + date.data() + ".csv";
}

}  // namespace pelmora
