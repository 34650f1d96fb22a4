// Taking a load back. Before every load the settings in force are dumped,
// as Save dumps them, into one work file beside the program whose first line
// (a comment, which netsh skips) says what was about to be loaded and when;
// Undo hands that file to netsh as a load would. A trial load goes back by
// itself unless someone keeps it in time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform.h"
#include "tool_runner.h"

namespace roamwise {

// The work file, beside the program: never in Profiles, never listed.
extern const wchar_t kUndoFile[];

// What the work file says it holds.
struct Snapshot {
    std::wstring loaded;     // the profile that was about to be loaded
    bool goingBack = false;  // taken before an Undo of that profile's load rather than before the load
    std::wstring at;         // when, "2026-12-07 14:03:05"
    bool onTrial = false;    // that load's trial had not ended

    // What was loaded after it, as menus and questions name it.
    std::wstring Label() const { return goingBack ? L"Undo of " + loaded : loaded; }
};

class UndoFile {
public:
    UndoFile(Platform& platform, ToolRunner& runner, const std::wstring& programFolder)
        : platform_(platform), runner_(runner), folder_(programFolder) {}

    std::wstring Path() const { return folder_ + L"\\" + kUndoFile; }
    // Nothing when there is no work file, or the file there is not Roamwise's.
    std::optional<Snapshot> Read();
    // Dumps the settings in force before loading a profile or going back
    // from one. Gives why it failed, or the empty text; a failure leaves no
    // snapshot behind, and a file that is not Roamwise's is never touched.
    std::wstring Take(const std::wstring& loaded, bool goingBack);
    // The snapshot as it stands, for Undo to hand to netsh once a new one
    // has replaced it: Stage puts it into a file of its own beside the
    // program and gives that file's name; DropCopy removes it. Throw.
    std::string Contents();
    std::wstring Stage(const std::string& script);
    void DropCopy();
    // Notes in the file whether the load's trial is open, so that a start
    // after a crash can tell.
    void MarkTrial(bool open);

private:
    std::optional<Snapshot> ReadFrom(const std::string& bytes);
    void Drop();

    Platform& platform_;
    ToolRunner& runner_;
    std::wstring folder_;
};

// "Undo Load of "Home"".
std::wstring UndoMenuText(const Snapshot& snapshot);
// "Go back to the network settings from before "Home" was loaded at 14:03?";
// today: the local date now, "2026-12-07", which the time then need not repeat.
std::wstring UndoQuestion(const Snapshot& snapshot, const std::wstring& today);
// "14:03" on the day, "2026-12-05 14:03" on another.
std::wstring WhenText(const std::wstring& at, const std::wstring& today);

// A trial's countdown on a clock in milliseconds.
class Trial {
public:
    // Loads the window runs in a remote session are trials of this length.
    static constexpr unsigned kWindowSeconds = 120;

    Trial(std::uint64_t started, unsigned seconds) : ends_(started + seconds * 1000ull) {}
    // Whole seconds left, counted up: 0 only once the time is over.
    unsigned SecondsLeft(std::uint64_t now) const;
    // "Going back in 120 seconds".
    std::wstring Countdown(std::uint64_t now) const;

private:
    std::uint64_t ends_;
};

}  // namespace roamwise
