// A trial load's "keep": a named event per program folder that the copy
// holding the trial (with its window or without) waits on, and that
// "Roamwise.exe /keep" sets from any session.
#include "win32_platform.h"

#include <sddl.h>

namespace roamwise {
namespace win32 {

namespace {

// Every session sees it: the trial may run in a disconnected session, kept from another.
std::wstring KeepName(const std::wstring& folder, bool global) {
    return (global ? L"Global\\Roamwise-" : L"Roamwise-") + FolderKey(folder) + L"-keep";
}

// Any signed-in user may set it: a standard user's "/keep" reaches a
// trial that runs with an administrator's rights.
struct KeepSecurity {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    KeepSecurity() {
        // SYSTEM and administrators: all; authenticated users: set and wait (EVENT_MODIFY_STATE | SYNCHRONIZE).
        if (ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100002;;;AU)",
                                                                 SDDL_REVISION_1, &descriptor, nullptr))
            attributes.lpSecurityDescriptor = descriptor;
    }
    ~KeepSecurity() { LocalFree(descriptor); }
};

}  // namespace

bool Win32Platform::OpenTrial() {
    KeepSecurity security;
    // Global names need a right a standard user in a later session may lack.
    for (const bool global : {true, false}) {
        keep_ = KernelHandle(CreateEventW(&security.attributes, TRUE, FALSE, KeepName(ProgramFolder(), global).c_str()));
        if (keep_) return ResetEvent(keep_.get()) != FALSE;
    }
    return false;
}

void Win32Platform::CloseTrial() { keep_.Reset(); }

bool Win32Platform::WaitForKeep(std::uint32_t ms) {
    return keep_ && WaitForSingleObject(keep_.get(), ms) == WAIT_OBJECT_0;
}

bool Win32Platform::KeepTrial() {
    for (const bool global : {true, false}) {
        const KernelHandle trial(OpenEventW(EVENT_MODIFY_STATE, FALSE, KeepName(ProgramFolder(), global).c_str()));
        if (trial && SetEvent(trial.get())) return true;
    }
    return false;
}

}  // namespace win32
}  // namespace roamwise
