#include "installed/folder_trust.h"
#include <gtest/gtest.h>
#include <sddl.h>
#include <memory>
#include <string>

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
// Wine's token names the account's primary group as the default owner.
const char* const winePrimaryGroup = "S-1-5-21-1111-2222-3333-513";

// The token of the process that judges: its account, and the owner it
// gives what it creates. Where that owner is Administrators, the account
// has an unelevated twin (UAC), which runs the user's everyday programs.
struct Token {
    const char* user;
    const char* defaultOwner;
};
const Token windowsXp = {runningAdministrator, runningAdministrator};
const Token elevatedUnderUac = {runningAdministrator, "BA"};
const Token wine = {runningAdministrator, winePrimaryGroup};
const Token unread = {NULL, NULL};

struct Facts {
    Local user, owner;
    TokenFacts facts;
    explicit Facts(const Token& token) : user(Account(token.user)), owner(Account(token.defaultOwner))
    {
        facts.user = user.get();
        facts.defaultOwner = owner.get();
    }
};

struct TrustCase {
    const char* why;
    const char* descriptor;
    Token token;
    FolderTrust expected;
};

// Administrators and SYSTEM with full control, as every case below has.
#define ADMINS "(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"
#define TRUSTED_INSTALLER "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
#define RUNNING "S-1-5-21-1111-2222-3333-500"

const TrustCase trustCases[] = {
    {"the folder Setup makes", "O:BAD:P" ADMINS "(A;OICI;0x1200a9;;;BU)", elevatedUnderUac, FolderTrusted},
    {"a system folder as Windows ships it",
     "O:" TRUSTED_INSTALLER "D:P(A;;FA;;;" TRUSTED_INSTALLER ")" ADMINS "(A;OICI;0x1200a9;;;BU)(A;OICIIO;GA;;;CO)",
     elevatedUnderUac, FolderTrusted},
    {"made by the account that runs Setup, which has no twin (XP)", "O:" RUNNING "D:P(A;OICI;FA;;;" RUNNING ")" ADMINS,
     windowsXp, FolderTrusted},
    {"owned by the running account under Wine", "O:" RUNNING "D:P(A;OICI;FA;;;" RUNNING ")" ADMINS, wine,
     FolderTrusted},
    {"made by the account's unelevated twin (UAC)", "O:" RUNNING "D:P" ADMINS, elevatedUnderUac, FolderForeignOwner},
    {"writable by the account, whose twin runs its everyday programs", "O:BAD:P" ADMINS "(A;OICI;FA;;;" RUNNING ")",
     elevatedUnderUac, FolderWritableByOthers},
    {"others denied writing", "O:BAD:P(D;OICI;FA;;;WD)" ADMINS "(A;OICI;0x1200a9;;;WD)", elevatedUnderUac, FolderTrusted},
    {"owned by another user", "O:S-1-5-21-1111-2222-3333-1001D:P" ADMINS, windowsXp, FolderForeignOwner},
    {"owned by an account that cannot be told", "O:" RUNNING "D:P" ADMINS, unread, FolderForeignOwner},
    {"Users may write", "O:BAD:P" ADMINS "(A;OICI;0x1301bf;;;BU)", windowsXp, FolderWritableByOthers},
    {"Everyone may modify (Wine's o+w)", "O:BAD:P" ADMINS "(A;OICI;0x1301ff;;;WD)", wine, FolderWritableByOthers},
    {"signed-in users may add folders (a drive root)", "O:BAD:" ADMINS "(A;;0x4;;;AU)", windowsXp,
     FolderWritableByOthers},
    {"another user may delete", "O:BAD:P" ADMINS "(A;;SD;;;S-1-5-21-1111-2222-3333-1001)", windowsXp,
     FolderWritableByOthers},
    {"Users may change the permissions", "O:BAD:P" ADMINS "(A;;WD;;;BU)", windowsXp, FolderWritableByOthers},
    {"Users get write on every file put inside", "O:BAD:P" ADMINS "(A;OICIIO;GW;;;BU)", windowsXp,
     FolderWritableByOthers},
};

TEST(FolderTrust, OnlyAdministratorsAndAnAccountWithoutAnElevatedTwinMayOwnOrChangeTheFolder)
{
    for (const TrustCase& trustCase : trustCases) {
        SCOPED_TRACE(trustCase.why);
        Local descriptor = Descriptor(trustCase.descriptor);
        ASSERT_TRUE(descriptor) << trustCase.descriptor;
        Facts token(trustCase.token);
        EXPECT_EQ(trustCase.expected, JudgeFolderSecurity(descriptor.get(), token.facts));
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
    Facts token(windowsXp);
    EXPECT_EQ(FolderWritableByOthers, JudgeFolderSecurity(&descriptor, token.facts));
    EXPECT_EQ(PathOpenToOthers, JudgePathPart(&descriptor, token.facts));
}

// The folders of a path that a file is made in: users may add files and
// folders of their own where Windows lets them (a drive's root,
// C:\Windows\Temp, C:\ProgramData, each as Windows ships it), but not move,
// remove or re-permission a folder, or remove what it holds.
struct PartCase {
    const char* why;
    const char* descriptor;
    Token token;
    PathVerdict expected;
};

const PartCase partCases[] = {
    {"a drive's root", "O:" TRUSTED_INSTALLER "D:PAI" ADMINS "(A;OICI;0x1200a9;;;BU)(A;OICIIO;SDGXGWGR;;;AU)(A;;0x4;;;AU)",
     elevatedUnderUac, PathSafe},
    {"C:\\Windows\\Temp", "O:SYD:P(A;OICIIO;FA;;;CO)" ADMINS "(A;CI;0x100026;;;BU)", elevatedUnderUac, PathSafe},
    {"C:\\ProgramData", "O:SYD:P" ADMINS "(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)(A;CI;0x100116;;;BU)",
     elevatedUnderUac, PathSafe},
    {"a folder under the drive's root, whose modify entry it inherits",
     "O:BAD:AI" ADMINS "(A;OICIID;0x1301bf;;;AU)(A;OICIID;0x1200a9;;;BU)", elevatedUnderUac, PathOpenToOthers},
    {"the administrator's own profile, which the twin owns", "O:" RUNNING "D:P(A;OICI;FA;;;" RUNNING ")" ADMINS,
     elevatedUnderUac, PathOpenToOthers},
    {"the same profile on XP", "O:" RUNNING "D:P(A;OICI;FA;;;" RUNNING ")" ADMINS, windowsXp, PathSafe},
    {"Users may remove what it holds", "O:BAD:P" ADMINS "(A;;0x40;;;BU)", windowsXp, PathOpenToOthers},
    {"Users may re-permission it", "O:BAD:P" ADMINS "(A;;WD;;;BU)", windowsXp, PathOpenToOthers},
    {"Users may take it over", "O:BAD:P" ADMINS "(A;;WO;;;BU)", windowsXp, PathOpenToOthers},
    {"Everyone may modify (Wine's o+w)", "O:" RUNNING "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" RUNNING ")(A;OICI;0x1301ff;;;WD)",
     wine, PathOpenToOthers},
    {"owned by another user", "O:S-1-5-21-1111-2222-3333-1001D:P" ADMINS, windowsXp, PathOpenToOthers},
};

TEST(FolderPath, OthersMayAddToAFolderOnTheWayButNotMoveRemoveOrRepermissionIt)
{
    for (const PartCase& partCase : partCases) {
        SCOPED_TRACE(partCase.why);
        Local descriptor = Descriptor(partCase.descriptor);
        ASSERT_TRUE(descriptor) << partCase.descriptor;
        Facts token(partCase.token);
        EXPECT_EQ(partCase.expected, JudgePathPart(descriptor.get(), token.facts));
    }
}

// A part whose attributes cannot be read might be a link: only one that is
// not there ends the walk.
DWORD failingPartError = ERROR_SUCCESS;
DWORD WINAPI ReadWithFailingPart(LPCSTR path)
{
    if (lstrcmpiA(path, "C:\\Deploy\\Logs") == 0) {
        SetLastError(failingPartError);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (lstrcmpiA(path, "C:\\Deploy\\Linked") == 0)
        return FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    SetLastError(ERROR_SUCCESS);
    return FILE_ATTRIBUTE_DIRECTORY;
}

TEST(FolderPath, APartThatCannotBeReadCountsAsALinkAndOnlyAMissingOneEndsTheWalk)
{
    for (DWORD error : {ERROR_ACCESS_DENIED, ERROR_NOT_READY, ERROR_SHARING_VIOLATION, ERROR_INVALID_NAME}) {
        failingPartError = error;
        EXPECT_TRUE(PathHasLink("C:\\Deploy\\Logs\\Pictavo", ReadWithFailingPart)) << "error " << error;
    }
    for (DWORD error : {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND}) {
        failingPartError = error;
        EXPECT_FALSE(PathHasLink("C:\\Deploy\\Logs\\Pictavo", ReadWithFailingPart)) << "error " << error;
    }
    EXPECT_TRUE(PathHasLink("C:\\Deploy\\Linked\\Pictavo", ReadWithFailingPart));
    EXPECT_FALSE(PathHasLink("C:\\Deploy\\Other\\Pictavo", ReadWithFailingPart));
}

// The real walk, on Wine's drive C: the system's shared folders serve, a
// path whose end is not made yet says so, and a file on the way is no
// folder to pass through.
TEST(FolderPath, TheSharedSystemFoldersPassAndAMissingEndOrAFileOnTheWayIsTold)
{
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    const std::string temp = std::string(windows) + "\\Temp";
    EXPECT_EQ(PathSafe, CheckFolderPath(temp.c_str()));
    EXPECT_EQ(PathSafe, CheckFolderPath("C:\\ProgramData"));
    EXPECT_EQ(PathSafe, CheckFolderPath("C:\\"));
    EXPECT_EQ(PathPartMissing, CheckFolderPath((temp + "\\not made\\nor this").c_str()));
    const std::string file = temp + "\\pictavo-walk.txt";
    HANDLE made = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, made);
    CloseHandle(made);
    EXPECT_EQ(PathUnreadable, CheckFolderPath((file + "\\inside").c_str()));
    EXPECT_EQ(PathUnreadable, CheckFolderPath(file.c_str()));
    DeleteFileA(file.c_str());
    EXPECT_EQ(PathUnreadable, CheckFolderPath("\\\\?\\C:\\ProgramData")) << "a form that is not walked";
}

// Setup's folders belong to Administrators, whatever the token's default
// owner, and take nothing from their parent; built without the descriptor
// text parser, which Wine posing as Windows 98 declines.
TEST(FolderTrust, SetupsFoldersAreOwnedByAdministratorsWithAProtectedDacl)
{
    AdminFolderSecurity security;
    ASSERT_TRUE(MakeAdminFolderSecurity(security));
    ASSERT_EQ(security.descriptor, security.attributes.lpSecurityDescriptor);
    char* text = NULL;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
        security.descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, NULL));
    EXPECT_STREQ("O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", text);
    LocalFree(text);
    FreeAdminFolderSecurity(security);
    EXPECT_EQ(NULL, security.attributes.lpSecurityDescriptor);
}

} // namespace
