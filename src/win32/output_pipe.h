// What a started tool prints (its standard output and error), read through
// a pipe while the window waits for the tool, without a console window,
// without a file, and without a thread: the reads complete on an event that
// the wait watches beside the tool's process.
#pragma once

#include <windows.h>

#include <memory>

#include "handles.h"
#include "platform.h"

namespace roamwise {
namespace win32 {

class OutputPipe {
public:
    // A pipe whose printing end the tool inherits; null when none can be made.
    static std::unique_ptr<OutputPipe> Open(ToolOutput& printed);
    ~OutputPipe();

    // What the tool gets as standard input (nothing), output and error.
    HANDLE ToolInput() const { return toolInput_.get(); }
    HANDLE ToolEnd() const { return toolEnd_.get(); }
    // Once the tool has started: only the tool holds the printing end, so
    // the pipe breaks when the tool ends.
    void Started();

    // Signalled when a read has finished; null once the pipe is done.
    HANDLE Ready() const { return reading_ ? event_.get() : nullptr; }
    // Hands on what a finished read brought and starts the next one.
    void Collect();
    // The tool has ended: takes what is left in the pipe, and what the
    // tool's own children go on printing for a second at most, while the
    // window's messages are handled.
    void Finish();

private:
    explicit OutputPipe(ToolOutput& printed) : printed_(printed) {}
    bool Create();
    void Read();

    ToolOutput& printed_;
    FileHandle ours_;
    FileHandle toolEnd_;
    FileHandle toolInput_;
    KernelHandle event_;
    OVERLAPPED overlapped_ = {};
    char buffer_[64 * 1024];
    bool reading_ = false;
};

}  // namespace win32
}  // namespace roamwise
