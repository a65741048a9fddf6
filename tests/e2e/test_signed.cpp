// Signed Setups as a publisher ships them: the one a signed build made, and
// the one built unsigned and signed afterwards with osslsigncode, each with
// a throwaway certificate. tests/host/signed_build.sh makes both into the
// folder PICTAVO_SIGNED_WORK; tests/host/check_signed.sh checks their
// signatures on the host.
#include "flows.h"
#include "installation.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

// A silent run of the Setup at unixPath installs exactly the files of
// expected (a Unix folder): its start-up check, and the check of each file
// against the digests recorded by the build, hold on the signed file.
void ExpectSilentInstallOf(const std::string& unixPath, const std::string& expected)
{
    HostCommands host;
    RemoveDefaultInstallation();
    RemoveTree(DefaultShortcutFolder());
    RemoveRegistration();
    ASSERT_EQ((DWORD)ExitInstalled, RunSilently("/S", WindowsPath(unixPath))) << unixPath;
    for (const char* file : installed::files)
        EXPECT_EQ(ReadAll(WindowsPath(expected) + "\\" + file),
                  ReadAll(std::string(defaultDestination) + "\\" + file))
            << file << " installed by " << unixPath;
    RemoveDefaultInstallation();
    RemoveTree(DefaultShortcutFolder());
    RemoveRegistration();
}

} // namespace

// The programs in the payload were signed before they were compressed, so
// the signed ones are what lands on the machine.
TEST(Signed, ASignedBuildInstallsSilentlyAndItsInstalledProgramsAreTheSignedOnes)
{
    const std::string work = EnvOr("PICTAVO_SIGNED_WORK", "");
    ASSERT_FALSE(work.empty());
    ExpectSilentInstallOf(work + "/build/pictavo-setup.exe", work + "/build/payload/expanded");
}

TEST(Signed, SetupAsBuiltAndSignedAfterwardsStillInstallsSilently)
{
    const std::string work = EnvOr("PICTAVO_SIGNED_WORK", "");
    ASSERT_FALSE(work.empty());
    ExpectSilentInstallOf(work + "/signed-afterwards.exe", EnvOr("PICTAVO_PAYLOAD_DIR", "") + "/expanded");
}
