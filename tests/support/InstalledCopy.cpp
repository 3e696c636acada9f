#include "tests/support/InstalledCopy.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/Command.h"

namespace pelmora::test {

namespace fs = std::filesystem;

namespace {

constexpr auto READ_AND_RUN = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec;

bool CopyExecutable(const std::string& from, const fs::path& to, std::string& error) {
    std::error_code failure;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, failure);
    if (!failure) fs::permissions(to, READ_AND_RUN, failure);
    if (failure) error = "cannot copy " + from + " to " + to.string() + ": " + failure.message();
    return !failure;
}

}  // namespace

std::unique_ptr<InstalledCopy> InstalledCopy::Make(const std::string& program, const std::string& helper,
                                                   bool helperCapability, std::string& error) {
    char pattern[] = "/tmp/pelmora-e2e-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        error = "mkdtemp failed";
        return nullptr;
    }
    struct statvfs mount {};
    if (statvfs(pattern, &mount) == 0 && (mount.f_flag & ST_NOSUID) != 0) {
        rmdir(pattern);
        error = "/tmp is mounted nosuid, where file capabilities do not work";
        return nullptr;
    }
    const std::string programName = program.empty() ? std::string() : fs::path(program).filename().string();
    std::unique_ptr<InstalledCopy> copy(new InstalledCopy(pattern, programName));
    const fs::path root(pattern);
    std::error_code failure;
    for (const fs::path& dir :
         {root, root / "bin", root / "libexec", root / "libexec" / "pelmora-config", root / "home"}) {
        fs::create_directories(dir, failure);
        if (!failure) fs::permissions(dir, READ_AND_RUN, failure);
        if (failure) {
            error = "cannot make " + dir.string() + ": " + failure.message();
            return nullptr;
        }
    }
    if (chown((root / "home").c_str(), UNPRIVILEGED_ID, UNPRIVILEGED_ID) != 0) {
        error = "cannot hand " + copy->Home() + " to the unprivileged user";
        return nullptr;
    }
    if (!program.empty() && !CopyExecutable(program, copy->ProgramPath(), error)) return nullptr;
    if (!helper.empty() && !CopyExecutable(helper, copy->HelperPath(), error)) return nullptr;
    if (!helper.empty() && helperCapability) {
        const CommandResult setcap =
            RunCommand({"/sbin/setcap", "cap_net_admin=ep", copy->HelperPath()}, std::chrono::seconds(10));
        if (setcap.exitStatus != 0) {
            error = "setcap failed: " + setcap.output;
            return nullptr;
        }
    }
    return copy;
}

InstalledCopy::~InstalledCopy() {
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

std::vector<std::string> AsUnprivilegedUser() {
    const std::string id = std::to_string(UNPRIVILEGED_ID);
    return {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups", "--inh-caps=-all", "--"};
}

}  // namespace pelmora::test
