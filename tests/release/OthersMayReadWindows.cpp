// Wine keeps no access list: it reports one made from the file's Unix mode,
// in which a file readable by others has an entry for Everyone, and every
// file one for SYSTEM. That is enough to tell a key others may read from one
// they may not, not whether the list is protected.
#include "tests/release/OthersMayRead.h"

#include "platform/detail/WideTextWindows.h"

#include <windows.h>

#include <vector>

bool OthersMayRead(const std::string &path)
{
    const std::wstring name = WideText::FromUtf8(path);
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(name.c_str(), wanted, nullptr, 0, &size);
    std::vector<BYTE> descriptor(size);
    PSID owner = nullptr;
    PACL list = nullptr;
    BOOL ownerDefaulted = FALSE, present = FALSE, listDefaulted = FALSE;
    BYTE system[SECURITY_MAX_SID_SIZE];
    DWORD systemSize = sizeof system;
    if (size == 0 || !GetFileSecurityW(name.c_str(), wanted, descriptor.data(), size, &size) ||
        !GetSecurityDescriptorOwner(descriptor.data(), &owner, &ownerDefaulted) ||
        !GetSecurityDescriptorDacl(descriptor.data(), &present, &list, &listDefaulted) ||
        !CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize))
        return false;
    // No list at all lets everyone in.
    if (!present || !list)
        return true;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        void *entry = nullptr;
        if (!GetAce(list, i, &entry))
            return false;
        const auto *allowed = static_cast<const ACCESS_ALLOWED_ACE *>(entry);
        const PSID sid = const_cast<DWORD *>(&allowed->SidStart);
        const bool reads = (allowed->Mask & (FILE_READ_DATA | GENERIC_READ | GENERIC_ALL)) != 0;
        if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && reads && !EqualSid(sid, owner) &&
            !EqualSid(sid, system))
            return true;
    }
    return false;
}
