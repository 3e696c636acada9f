#pragma once
// A lab test that runs programs of the Windows build tree under Wine in the PC namespace. Each test has a
// Wine prefix of its own, copied from the Windows test run's, so that its Wine server starts in this lab's
// namespace; it is stopped and removed at the end. Skips where that tree or its prefix has not been made
// (scripts/build-windows.sh, scripts/windows-tests.sh).
#include <string>
#include <vector>

#include "tests/support/LabTest.h"

namespace pelmora::test {

class WineLabTest : public LabTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The environment and launcher for a Windows program of this test: `env ... wine`, with `display` as
    // the X display ("" for none).
    std::vector<std::string> Wine(const std::string& display = {}) const;
    const std::string& Prefix() const { return m_prefix; }

private:
    std::string m_prefix;
};

}  // namespace pelmora::test
