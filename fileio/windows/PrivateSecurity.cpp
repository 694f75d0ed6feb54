#include "PrivateSecurity.h"

#include <sddl.h>

#include <string>
#include <vector>

PrivateSecurity::PrivateSecurity()
{
    HANDLE token = nullptr;
    if (! OpenProcessToken (GetCurrentProcess(), TOKEN_QUERY, &token))
        return;
    DWORD size = 0;
    GetTokenInformation (token, TokenUser, nullptr, 0, &size);
    std::vector<char> buffer (size);
    wchar_t* sid = nullptr;
    if (GetTokenInformation (token, TokenUser, buffer.data(), size, &size)
        && ConvertSidToStringSidW (reinterpret_cast<TOKEN_USER*> (buffer.data())->User.Sid, &sid))
    {
        const auto sddl = std::wstring (L"D:P(A;;FA;;;") + sid + L")(A;;FA;;;SY)";
        ConvertStringSecurityDescriptorToSecurityDescriptorW (sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr);
        LocalFree (sid);
    }
    CloseHandle (token);
}

PrivateSecurity::~PrivateSecurity()
{
    LocalFree (descriptor);
}
