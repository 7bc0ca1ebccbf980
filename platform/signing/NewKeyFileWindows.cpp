#include "platform/signing/Signing.h"

#include "platform/detail/NewFileWindows.h"
#include "platform/detail/WideTextWindows.h"

#include <initializer_list>
#include <optional>
#include <vector>

namespace Signing {
namespace {

// TOKEN_USER of the process: the user running the tool. For an elevated
// administrator this is the user, where the token's default owner of new
// objects would be the Administrators group.
std::optional<std::vector<BYTE>> ProcessUser()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return std::nullopt;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    const bool read = size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size);
    CloseHandle(token);
    if (!read)
        return std::nullopt;
    return user;
}

struct Grant {
    PSID sid;
    DWORD access;
};

// An access list that grants what Grants name and nothing else.
std::optional<std::vector<BYTE>> AccessList(std::initializer_list<Grant> grants)
{
    DWORD size = sizeof(ACL);
    for (const Grant &grant : grants)
        size += DWORD(sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD)) + GetLengthSid(grant.sid);
    size = (size + sizeof(DWORD) - 1) & ~DWORD(sizeof(DWORD) - 1);
    std::vector<BYTE> list(size);
    auto *acl = reinterpret_cast<PACL>(list.data());
    if (!InitializeAcl(acl, size, ACL_REVISION))
        return std::nullopt;
    for (const Grant &grant : grants)
        if (!AddAccessAllowedAce(acl, ACL_REVISION, grant.access, grant.sid))
            return std::nullopt;
    return list;
}

} // namespace

// The file is made with its access list: there is no moment when the
// folder's inherited list, which in a folder under C:\ lets every local
// account read and replace it, applies. The list is protected, so that the
// folder's inheritable entries are not merged into it, and the file's owner
// is the user, not an elevated administrator's Administrators group.
// Wine keeps no access list: it turns this one into the Unix mode (0600 or
// 0644) and reports a list made back from that mode, with an entry for
// SYSTEM, no protection flag and its own masks. What Windows does with the
// protection and the owner is by its documentation only.
Creation WriteNewFile(const std::string &path, std::string_view contents, Readers readers)
{
    const std::optional<std::vector<BYTE>> user = ProcessUser();
    BYTE worldSid[SECURITY_MAX_SID_SIZE];
    DWORD worldSize = sizeof worldSid;
    if (!user || !CreateWellKnownSid(WinWorldSid, nullptr, worldSid, &worldSize))
        return Creation::Failed;
    const PSID userSid = reinterpret_cast<const TOKEN_USER *>(user->data())->User.Sid;
    std::optional<std::vector<BYTE>> list =
        readers == Readers::OwnerOnly
            ? AccessList({{userSid, FILE_ALL_ACCESS}})
            : AccessList({{userSid, FILE_ALL_ACCESS}, {worldSid, FILE_GENERIC_READ}});
    SECURITY_DESCRIPTOR descriptor;
    if (!list || !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorOwner(&descriptor, userSid, FALSE) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(list->data()),
                                   FALSE) ||
        !SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        return Creation::Failed;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};

    const std::wstring name = WideText::FromUtf8(path);
    // CREATE_NEW: never over an existing file.
    const HANDLE file =
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS ? Creation::Exists
                                                                                            : Creation::Failed;
    const bool written = NewFile::WriteAll(file, contents.data(), contents.size());
    if (NewFile::FlushAndClose(file) && written)
        return Creation::Written;
    DeleteFileW(name.c_str());
    return Creation::Failed;
}

} // namespace Signing
