#include "win/Process.h"

#include <vector>

#include "win/UniqueHandle.h"

namespace snipora::win {

std::wstring ProcessImagePath(HANDLE process) {
    if (process == nullptr) {
        return {};
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(path.size());
        if (::QueryFullProcessImageNameW(process, 0, path.data(), &size)) {
            path.resize(size);
            return path;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

std::wstring WindowProgramPath(HWND window) {
    DWORD processId = 0;
    if (window == nullptr || ::GetWindowThreadProcessId(window, &processId) == 0 ||
        processId == 0) {
        return {};
    }
    UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return ProcessImagePath(process.Get());
}

namespace {

constexpr uint32_t kMediumIntegrity = 0x2000;

// The level from a token that was opened for TOKEN_QUERY, or nullopt.
std::optional<uint32_t> TokenIntegrity(HANDLE token) {
    DWORD size = 0;
    ::GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size < sizeof(TOKEN_MANDATORY_LABEL)) {
        return std::nullopt;
    }
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
        return std::nullopt;
    }
    const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
    const PSID sid = label->Label.Sid;
    if (sid == nullptr || !::IsValidSid(sid) || *::GetSidSubAuthorityCount(sid) == 0) {
        return std::nullopt;
    }
    return *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1u);
}

}  // namespace

std::optional<uint32_t> ProcessIntegrity(DWORD processId, uint32_t otherwise) {
    UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    HANDLE token = nullptr;
    if (!process || !::OpenProcessToken(process.Get(), TOKEN_QUERY, &token)) {
        if (::GetLastError() == ERROR_ACCESS_DENIED) {
            return std::nullopt;
        }
        return otherwise;
    }
    const UniqueKernelHandle owned(token);
    return TokenIntegrity(token).value_or(otherwise);
}

uint32_t OwnIntegrity() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return kMediumIntegrity;
    }
    const UniqueKernelHandle owned(token);
    return TokenIntegrity(token).value_or(kMediumIntegrity);
}

}  // namespace snipora::win
