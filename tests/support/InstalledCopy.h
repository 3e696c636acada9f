#pragma once
// Copies of built programs laid out as an install does (bin/ and libexec/pelmora-config/) in a new
// directory under /tmp that an unprivileged user can reach, for end-to-end tests that run them without
// root. The copy of the network helper gets cap_net_admin=ep when asked. Removed with the object.
#include <memory>
#include <string>
#include <vector>

namespace pelmora::test {

class InstalledCopy {
public:
    // program or helper may be empty (the other alone). Null, with the reason in error, when a step fails.
    static std::unique_ptr<InstalledCopy> Make(const std::string& program, const std::string& helper,
                                               bool helperCapability, std::string& error);
    ~InstalledCopy();
    InstalledCopy(const InstalledCopy&) = delete;
    InstalledCopy& operator=(const InstalledCopy&) = delete;

    std::string ProgramPath() const { return m_root + "/bin/" + m_programName; }
    std::string HelperPath() const { return m_root + "/libexec/pelmora-config/pelmora-net-helper"; }
    // A home directory the unprivileged user may write to.
    std::string Home() const { return m_root + "/home"; }

private:
    InstalledCopy(std::string root, std::string programName)
        : m_root(std::move(root)), m_programName(std::move(programName)) {}
    std::string m_root;
    std::string m_programName;
};

// The user the copies run as: nobody.
constexpr unsigned UNPRIVILEGED_ID = 65534;
// The argv prefix that runs a command as that user with no capability of its own (a file capability
// of what it starts still counts).
std::vector<std::string> AsUnprivilegedUser();

}  // namespace pelmora::test
