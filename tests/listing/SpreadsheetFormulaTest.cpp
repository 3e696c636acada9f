// A real spreadsheet reads the CSV: LibreOffice Calc (soffice, headless, no network) opens the list as
// pelmora-scan --csv writes it and as the window exports it for a ';' locale, splitting at ',' and at ';',
// with and without trimming blanks, and makes no formula of any cell (label spreadsheet; skipped without
// soffice).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "listing/DeviceListing.h"
#include "listing/RowOutput.h"
#include "tests/support/Command.h"

namespace pelmora::test {
namespace {

namespace fs = std::filesystem;

std::string Soffice() {
    for (const char* path : {"/usr/bin/soffice", "/usr/lib/libreoffice/program/soffice"})
        if (access(path, X_OK) == 0) return path;
    return {};
}

void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class SpreadsheetFormula : public ::testing::Test {
protected:
    void SetUp() override {
        m_soffice = Soffice();
        if (m_soffice.empty()) GTEST_SKIP() << "soffice not found: install libreoffice-calc-nogui to run this test";
        char folder[] = "/tmp/pelmora-calc-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        m_folder = folder;
    }
    void TearDown() override {
        if (!m_folder.empty()) fs::remove_all(m_folder);
    }

    // Each file converted to flat ODS as Calc reads it with these CSV import options; the converted texts.
    std::vector<std::string> Convert(const std::vector<std::string>& files, const std::string& options) {
        const fs::path out = m_folder / ("out-" + std::to_string(m_runs++));
        // A network namespace of its own: the spreadsheet has no business on this machine's network.
        std::vector<std::string> argv = {
            "unshare",      "-rn",
            m_soffice,      "-env:UserInstallation=file://" + (m_folder / "profile").string(),
            "--headless",   "--infilter=CSV:" + options,
            "--convert-to", "fods",
            "--outdir",     out.string()};
        for (const std::string& file : files) argv.push_back((m_folder / file).string());
        const CommandResult run = RunCommand(argv, std::chrono::seconds(120));
        EXPECT_EQ(run.exitStatus, 0) << run.output;
        std::vector<std::string> converted;
        for (const std::string& file : files) {
            converted.push_back(Read(out / fs::path(file).replace_extension(".fods")));
            EXPECT_FALSE(converted.back().empty()) << file << " with " << options << ": " << run.output;
        }
        return converted;
    }

    std::string m_soffice;
    fs::path m_folder;
    int m_runs = 0;
};

TEST_F(SpreadsheetFormula, NoCellOfTheListBecomesAFormulaAtEitherSeparator) {
    DeviceListing listing;
    listing.rows.resize(2);
    listing.rows[0][COL_DEVICE_NAME] = "AHU-1;=cmd|'/c calc'!A0";
    listing.rows[0][COL_LOCATION] = "Roof;+1+1";
    listing.rows[1][COL_DEVICE_NAME] = "AHU;=1+41;";
    listing.rows[1][COL_LOCATION] = "Hall, =2+40";
    listing.warnings.resize(2);
    Write(m_folder / "comma.csv", FormatCsv(listing));
    Write(m_folder / "semicolon.csv", "\xEF\xBB\xBF" + FormatCsv(listing, ';'));
    // What the check must catch: the same name in a cell guarded at its start only.
    Write(m_folder / "unguarded.csv", "Unit,Device Name\r\n1,AHU;=1+41;\r\n");

    // Field separator, text delimiter ", UTF-8, from line 1, standard cells, language, quoted as text off,
    // special numbers on, (export options), and last whether blanks are trimmed.
    for (const char* separator : {"44", "59"}) {
        for (const char* trim : {"false", "true"}) {
            const std::string options = std::string(separator) + ",34,76,1,,0,false,true,false,false," + trim;
            const auto converted = Convert({"comma.csv", "semicolon.csv", "unguarded.csv"}, options);
            for (std::size_t i = 0; i < 2; ++i) {
                EXPECT_EQ(converted[i].find("table:formula"), std::string::npos) << i << " with " << options;
                EXPECT_EQ(converted[i].find(">42<"), std::string::npos) << i << " with " << options;
                EXPECT_NE(converted[i].find("=1+41"), std::string::npos) << "the name was read, " << options;
            }
            if (std::string(separator) == "59") {
                EXPECT_NE(converted[2].find("table:formula=\"of:=1+41\""), std::string::npos) << converted[2];
            }
        }
    }
}

}  // namespace
}  // namespace pelmora::test
