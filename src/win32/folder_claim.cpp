// One copy per program folder: the claim every start makes on the folder,
// in its session and in all of them, and the hand-over of a load to the
// copy that already runs there.
#include <cstring>

#include "control_ids.h"
#include "launch.h"
#include "win32_platform.h"

namespace roamwise {
namespace win32 {

namespace {

constexpr UINT kErrorOnExit = 0x0020;  // SMTO_ERRORONEXIT, Windows Vista and later
// A call that fails this much before the hand-over's limit never waited for an answer.
constexpr DWORD kEarly = 10 * 1000;

std::wstring Hex(std::uint64_t value, int digits) {
    std::wstring text(digits, L'0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) text[i] = L"0123456789ABCDEF"[value & 0xF];
    return text;
}

}  // namespace

// Names short enough for kernel objects, the same for every spelling of the folder.
std::wstring FolderKey(const std::wstring& folder) {
    // The folder itself: its volume and its index there.
    const FileHandle opened(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (opened && GetFileInformationByHandle(opened.get(), &info) && (info.nFileIndexHigh | info.nFileIndexLow))
        return Hex(info.dwVolumeSerialNumber, 8) + Hex(info.nFileIndexHigh, 8) + Hex(info.nFileIndexLow, 8);
    // A file system that gives no index: the upper-cased path, hashed (FNV-1a).
    std::wstring upper = folder;
    if (!upper.empty()) CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : upper) hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    return L"P" + Hex(hash, 16);
}

namespace {

// Every session sees it (a different name from the session's own mapping:
// in the first session of XP the two namespaces are one).
std::wstring GlobalName(const std::wstring& key) { return L"Global\\Roamwise-" + key + L"-claim"; }

// The main window another copy published in the folder's mapping; null
// when it has none (a start from the command line) or it is gone.
HWND PublishedWindow(HANDLE mapping) {
    const MappedView view(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(LONG)));
    if (!view) return nullptr;
    const auto window = static_cast<HWND>(LongToHandle(*static_cast<const volatile LONG*>(view.get())));
    wchar_t className[64] = {};
    if (!window || !GetClassNameW(window, className, 64) || std::wcscmp(className, ROAMWISE_MAIN_CLASS) != 0)
        return nullptr;
    return window;
}

// Restores and activates the other copy's window, or the box it shows.
void BringToFront(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    const HWND front = GetLastActivePopup(window);
    if (IsWindowVisible(front)) SetForegroundWindow(front);
}

}  // namespace

std::wstring GlobalClaimName(const std::wstring& folder) { return GlobalName(FolderKey(folder)); }

FolderClaim Win32Platform::ClaimProgramFolder() {
    if (folderClaim_ || globalClaim_) return FolderClaim::Claimed;
    const std::wstring key = FolderKey(ProgramFolder());
    // In this session, a mapping holds the running copy's main window.
    KernelHandle mapping(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), (L"Roamwise-" + key).c_str()));
    if (mapping && GetLastError() == ERROR_ALREADY_EXISTS) {
        runningCopy_ = PublishedWindow(mapping.get());
        if (!runningCopy_) return FolderClaim::LoadingHere;
        BringToFront(runningCopy_);
        return FolderClaim::RunningHere;
    }
    // Every session sees a global object: another user's copy, or one with
    // other rights whose mapping this copy may not open, holds it. Where none
    // can be made at all, running is better than refusing.
    KernelHandle global(CreateMutexW(nullptr, FALSE, GlobalName(key).c_str()));
    const DWORD error = GetLastError();
    if ((global && error == ERROR_ALREADY_EXISTS) || (!global && error == ERROR_ACCESS_DENIED))
        return FolderClaim::HeldElsewhere;
    const MappedView view(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(LONG)) : nullptr);
    // Window handles keep to 32 bits, so 32- and 64-bit copies share them.
    if (view) *static_cast<volatile LONG*>(view.get()) = HandleToLong(mainWindow_);
    folderClaim_ = std::move(mapping);
    globalClaim_ = std::move(global);
    return FolderClaim::Claimed;
}

// The window runs the load while this start waits, and replies with its exit
// code as soon as that is known; the load's boxes come after.
HandOverAnswer Win32Platform::HandOver(const HandedRequest& handed) {
    using Kind = HandOverAnswer::Kind;
    if (!runningCopy_) return {Kind::Unreachable, 0};
    const std::string bytes = RequestBytes(handed);
    COPYDATASTRUCT request = {RequestTag(handed), static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    // A trial answers once it has ended.
    const DWORD limit = kHandOverLimitMs + handed.trySeconds * 1000;
    // From Windows Vista on, a copy that ends while loading fails the call at once.
    const UINT ended = Version().major >= 6 ? kErrorOnExit : 0;
    DWORD_PTR answer = 0;
    const DWORD began = GetTickCount();
    SetLastError(ERROR_SUCCESS);
    const bool sent = SendMessageTimeoutW(runningCopy_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request),
                                          SMTO_ABORTIFHUNG | ended, limit, &answer) != 0;
    const DWORD error = GetLastError(), took = GetTickCount() - began;
    if (sent && answer != 0) return {Kind::Answered, static_cast<int>(answer - 1)};
    if (!IsWindow(runningCopy_)) return {Kind::Ended, 0};
    // A window of higher rights refuses the message; so does one that does not take the request.
    if (sent || error == ERROR_ACCESS_DENIED) return {Kind::Unreachable, 0};
    // A window that has not taken messages for five seconds fails the call at
    // once, having been given nothing; only the full time means it took it.
    return {took + kEarly < limit ? Kind::NotDelivered : Kind::NoAnswer, 0};
}

}  // namespace win32
}  // namespace roamwise
