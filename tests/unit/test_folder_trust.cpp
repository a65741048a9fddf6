#include "install/folder_trust.h"
#include <gtest/gtest.h>
#include <sddl.h>
#include <memory>

namespace {

// A descriptor or an account written in the system's own string form, so
// that each case reads as the permissions an administrator would see.
struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
typedef std::unique_ptr<void, LocalFreer> Local;

Local Descriptor(const char* text)
{
    PSECURITY_DESCRIPTOR descriptor = NULL;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(text, SDDL_REVISION_1, &descriptor, NULL);
    return Local(descriptor);
}

Local Account(const char* text)
{
    PSID sid = NULL;
    if (text)
        ConvertStringSidToSidA(text, &sid);
    return Local(sid);
}

const char* const runningAdministrator = "S-1-5-21-1111-2222-3333-500";

struct TrustCase {
    const char* why;
    const char* descriptor;
    const char* runningUser;
    FolderTrust expected;
};

// Administrators and SYSTEM with full control, as every case below has.
#define ADMINS "(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"
#define TRUSTED_INSTALLER "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"

const TrustCase trustCases[] = {
    {"the folder Setup makes", "O:BAD:P" ADMINS "(A;OICI;0x1200a9;;;BU)", runningAdministrator, FolderTrusted},
    {"a system folder as Windows ships it",
     "O:" TRUSTED_INSTALLER "D:P(A;;FA;;;" TRUSTED_INSTALLER ")" ADMINS "(A;OICI;0x1200a9;;;BU)(A;OICIIO;GA;;;CO)",
     runningAdministrator, FolderTrusted},
    {"made by the administrator who runs Setup", "O:S-1-5-21-1111-2222-3333-500D:P(A;OICI;FA;;;S-1-5-21-1111-2222-3333-500)" ADMINS,
     runningAdministrator, FolderTrusted},
    {"others denied writing", "O:BAD:P(D;OICI;FA;;;WD)" ADMINS "(A;OICI;0x1200a9;;;WD)", runningAdministrator, FolderTrusted},
    {"owned by another user", "O:S-1-5-21-1111-2222-3333-1001D:P" ADMINS, runningAdministrator, FolderForeignOwner},
    {"owned by an account that cannot be told", "O:S-1-5-21-1111-2222-3333-500D:P" ADMINS, NULL, FolderForeignOwner},
    {"Users may write", "O:BAD:P" ADMINS "(A;OICI;0x1301bf;;;BU)", runningAdministrator, FolderWritableByOthers},
    {"Everyone may modify (Wine's o+w)", "O:BAD:P" ADMINS "(A;OICI;0x1301ff;;;WD)", runningAdministrator,
     FolderWritableByOthers},
    {"signed-in users may add folders (a drive root)", "O:BAD:" ADMINS "(A;;0x4;;;AU)", runningAdministrator,
     FolderWritableByOthers},
    {"another user may delete", "O:BAD:P" ADMINS "(A;;SD;;;S-1-5-21-1111-2222-3333-1001)", runningAdministrator,
     FolderWritableByOthers},
    {"Users may change the permissions", "O:BAD:P" ADMINS "(A;;WD;;;BU)", runningAdministrator, FolderWritableByOthers},
    {"Users get write on every file put inside", "O:BAD:P" ADMINS "(A;OICIIO;GW;;;BU)", runningAdministrator,
     FolderWritableByOthers},
};

TEST(FolderTrust, OnlyAdministratorsAndTheRunningAccountMayOwnOrChangeTheFolder)
{
    for (const TrustCase& trustCase : trustCases) {
        SCOPED_TRACE(trustCase.why);
        Local descriptor = Descriptor(trustCase.descriptor);
        ASSERT_TRUE(descriptor) << trustCase.descriptor;
        EXPECT_EQ(trustCase.expected, JudgeFolderSecurity(descriptor.get(), Account(trustCase.runningUser).get()));
    }
}

// Made by hand: Wine reads "D:NO_ACCESS_CONTROL" as an empty DACL, which
// grants nothing, rather than as no DACL, which grants everything.
TEST(FolderTrust, AFolderWithoutADaclIsWritableByEveryone)
{
    Local owner = Account("BA");
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&descriptor, owner.get(), FALSE));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, NULL, FALSE));
    EXPECT_EQ(FolderWritableByOthers, JudgeFolderSecurity(&descriptor, NULL));
}

} // namespace
