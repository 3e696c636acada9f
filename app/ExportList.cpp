#include "app/ExportList.h"

#include <array>

#include "ui/TemplateDialog.h"

namespace pelmora {

std::string ChooseExportFileWithDialog(TemplateDialog& owner, const std::string& suggestedName) {
    return owner.ChooseSaveFile("Export list", suggestedName, "CSV files", "*.csv");
}

std::string ExportFileName(const std::tm& day) {
    std::array<char, 16> date{};
    if (std::strftime(date.data(), date.size(), "%Y-%m-%d", &day) == 0) return "pelmora-devices.csv";
    return std::string("pelmora-devices-") + date.data() + ".csv";
}

}  // namespace pelmora
