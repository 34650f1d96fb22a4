#include "output_pipe.h"

#include <algorithm>
#include <string>

#include "message_pump.h"

namespace roamwise {
namespace win32 {

namespace {

// FILE_FLAG_FIRST_PIPE_INSTANCE, known from Windows 2000 SP2 on: the name
// must be new, so that no other program made the pipe first.
constexpr DWORD kFirstInstance = 0x00080000;
// What a tool's own children may still print after it ended is read while
// it keeps coming, a second at most and no more than this much: a child that
// keeps the pipe open must neither hold the result nor freeze the window.
constexpr DWORD kTailMs = 1000;
constexpr DWORD kQuietMs = 100;
constexpr std::size_t kMostAfterEnd = 1 << 20;

std::wstring NewPipeName() {
    static LONG made = 0;
    return L"\\\\.\\pipe\\Roamwise-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(InterlockedIncrement(&made));
}

}  // namespace

std::unique_ptr<OutputPipe> OutputPipe::Open(ToolOutput& printed) {
    std::unique_ptr<OutputPipe> pipe(new OutputPipe(printed));
    if (!pipe->Create()) return nullptr;
    return pipe;
}

OutputPipe::~OutputPipe() {
    // The system may still write into the buffer until the read is cancelled.
    if (!reading_) return;
    CancelIo(ours_.get());
    DWORD got = 0;
    GetOverlappedResult(ours_.get(), &overlapped_, &got, TRUE);
}

bool OutputPipe::Create() {
    const std::wstring name = NewPipeName();
    // One instance, connected at once by the tool's end: nothing else can connect to it.
    const DWORD mode = PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED;
    ours_ = FileHandle(CreateNamedPipeW(name.c_str(), mode | kFirstInstance, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0,
                                        sizeof buffer_, 0, nullptr));
    if (!ours_ && GetLastError() == ERROR_INVALID_PARAMETER)  // before Windows 2000 SP2
        ours_ = FileHandle(CreateNamedPipeW(name.c_str(), mode, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, sizeof buffer_, 0,
                                            nullptr));
    if (!ours_) return false;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    toolEnd_ = FileHandle(CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherited, OPEN_EXISTING, 0, nullptr));
    // A tool that asks for input reads its end at once rather than waiting for ever.
    toolInput_ = FileHandle(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                        OPEN_EXISTING, 0, nullptr));
    event_ = KernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return toolEnd_ && toolInput_ && event_;
}

void OutputPipe::Started() {
    toolEnd_.Reset();
    toolInput_.Reset();
    Read();
}

void OutputPipe::Read() {
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = event_.get();
    ResetEvent(event_.get());
    // Finished at once or later, the event tells; anything else is the pipe breaking.
    reading_ = ReadFile(ours_.get(), buffer_, sizeof buffer_, nullptr, &overlapped_) || GetLastError() == ERROR_IO_PENDING;
}

void OutputPipe::Collect() {
    DWORD got = 0;
    if (!GetOverlappedResult(ours_.get(), &overlapped_, &got, FALSE)) {
        if (GetLastError() != ERROR_IO_INCOMPLETE) reading_ = false;  // the tool closed its end
        return;
    }
    if (got) printed_.Printed(buffer_, got);
    Read();
}

void OutputPipe::Finish() {
    const DWORD began = GetTickCount();
    for (std::size_t taken = 0; reading_ && taken < kMostAfterEnd;) {
        DWORD got = 0;
        if (GetOverlappedResult(ours_.get(), &overlapped_, &got, FALSE)) {
            if (got) printed_.Printed(buffer_, got);
            taken += got;
            Read();
            continue;
        }
        if (GetLastError() != ERROR_IO_INCOMPLETE) {
            reading_ = false;  // every printing end is closed
            break;
        }
        const DWORD spent = GetTickCount() - began;
        const HANDLE ready = event_.get();
        DWORD signalled = 0;
        if (spent >= kTailMs || WaitPumping(&ready, 1, signalled, std::min(kQuietMs, kTailMs - spent)) != ERROR_SUCCESS)
            break;
    }
}

}  // namespace win32
}  // namespace roamwise
