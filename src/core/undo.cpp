#include "undo.h"

#include "error_report.h"
#include "main_controller.h"

namespace roamwise {

const wchar_t kUndoFile[] = L"Roamwise-undo.txt";

namespace {

// Where the dump goes first, and what Undo hands to netsh: the work file
// itself is whole or not there, whenever Roamwise stops.
const wchar_t kStagingFile[] = L"Roamwise-undo.tmp";
const char kMark[] = "# Roamwise undo: before ";
const char kLoading[] = "loading \"";
const char kGoingBack[] = "going back from \"";
const char kOnTrial[] = ", on trial";

// The name in UTF-8, a unit at a time (a pair of UTF-16 units as two): the
// header is Roamwise's own to read back, whatever code page the dump is in.
std::string Utf8(const std::wstring& text) {
    std::string bytes;
    for (const wchar_t unit : text) {
        const auto c = static_cast<std::uint32_t>(unit);
        const int extra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        const unsigned char lead[] = {0, 0xC0, 0xE0, 0xF0};
        bytes += static_cast<char>(lead[extra] | (c >> (6 * extra)));
        for (int shift = 6 * (extra - 1); shift >= 0; shift -= 6) bytes += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
    }
    return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i++]);
        const int extra = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        std::uint32_t c = extra ? lead & (0x3F >> extra) : lead;
        for (int k = 0; k < extra && i < bytes.size(); ++k) c = c << 6 | (static_cast<unsigned char>(bytes[i++]) & 0x3F);
        text += static_cast<wchar_t>(c);
    }
    return text;
}

std::string Header(const Snapshot& s) {
    return kMark + std::string(s.goingBack ? kGoingBack : kLoading) + Utf8(s.loaded) + "\" at " + Utf8(s.at) +
           (s.onTrial ? kOnTrial : "") + "\r\n";
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

}  // namespace

std::optional<Snapshot> UndoFile::ReadFrom(const std::string& bytes) {
    std::string line = bytes.substr(0, bytes.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!StartsWith(line, kMark)) return std::nullopt;
    line.erase(0, sizeof kMark - 1);
    Snapshot snapshot;
    snapshot.goingBack = StartsWith(line, kGoingBack);
    if (!snapshot.goingBack && !StartsWith(line, kLoading)) return std::nullopt;
    line.erase(0, snapshot.goingBack ? sizeof kGoingBack - 1 : sizeof kLoading - 1);
    const std::string::size_type quote = line.rfind("\" at ");
    if (quote == std::string::npos) return std::nullopt;
    snapshot.onTrial = line.size() >= sizeof kOnTrial && line.compare(line.size() - (sizeof kOnTrial - 1), std::string::npos, kOnTrial) == 0;
    if (snapshot.onTrial) line.resize(line.size() - (sizeof kOnTrial - 1));
    snapshot.loaded = FromUtf8(line.substr(0, quote));
    snapshot.at = FromUtf8(line.substr(quote + 5));
    return snapshot;
}

std::optional<Snapshot> UndoFile::Read() {
    try {
        return ReadFrom(platform_.Read(Path()));
    } catch (...) {
        return std::nullopt;  // none, or none that can be read
    }
}

std::wstring UndoFile::Take(const std::wstring& loaded, bool goingBack) {
    bool there = true;
    try {
        there = !platform_.List(Path()).empty();
    } catch (...) {
    }
    if (there && !Read()) return L"a file " + Quoted(kUndoFile) + L" that is not Roamwise's is in the way.";
    try {
        const std::int32_t exitCode = runner_.DumpSettings(folder_, kStagingFile);
        if (exitCode != 0) {
            Drop();
            return ExitCodeText(exitCode);
        }
        const std::string dump = platform_.Read(folder_ + L"\\" + kStagingFile);
        platform_.Write(Path(), Header({loaded, goingBack, platform_.LocalTime(), false}) + dump);
        DropCopy();
    } catch (...) {
        const Failure failure = CurrentFailure();
        Drop();
        return failure.description;
    }
    return L"";
}

void UndoFile::Drop() {
    DropCopy();
    if (!Read()) return;
    try {
        platform_.Delete(Path());
    } catch (...) {
        // what cannot go is still Roamwise's, and still a way back
    }
}

std::string UndoFile::Contents() { return platform_.Read(Path()); }

std::wstring UndoFile::Stage(const std::string& script) {
    platform_.Write(folder_ + L"\\" + kStagingFile, script);
    return kStagingFile;
}

void UndoFile::DropCopy() {
    try {
        platform_.Delete(folder_ + L"\\" + kStagingFile);
    } catch (...) {
        // nothing was there
    }
}

void UndoFile::MarkTrial(bool open) {
    try {
        const std::string bytes = platform_.Read(Path());
        std::optional<Snapshot> snapshot = ReadFrom(bytes);
        if (!snapshot || snapshot->onTrial == open) return;
        snapshot->onTrial = open;
        const std::string::size_type end = bytes.find('\n');
        platform_.Write(Path(), Header(*snapshot) + (end == std::string::npos ? "" : bytes.substr(end + 1)));
    } catch (...) {
        // a start after a crash would only not offer to go back
    }
}

std::wstring WhenText(const std::wstring& at, const std::wstring& today) {
    if (at.size() < 16) return at;
    return at.compare(0, 10, today) == 0 ? at.substr(11, 5) : at.substr(0, 16);
}

// "&" marks the menu's access key: a name's own is doubled.
std::wstring UndoMenuText(const Snapshot& snapshot) {
    std::wstring label;
    for (const wchar_t c : snapshot.Label()) label += c == L'&' ? L"&&" : std::wstring(1, c);
    return L"&Undo Load of " + Quoted(label);
}

std::wstring UndoQuestion(const Snapshot& snapshot, const std::wstring& today) {
    return L"Go back to the network settings from before " + Quoted(snapshot.Label()) + L" was loaded at " +
           WhenText(snapshot.at, today) + L"?";
}

unsigned Trial::SecondsLeft(std::uint64_t now) const {
    return now >= ends_ ? 0 : static_cast<unsigned>((ends_ - now + 999) / 1000);
}

std::wstring Trial::Countdown(std::uint64_t now) const {
    const unsigned left = SecondsLeft(now);
    return L"Going back in " + std::to_wstring(left) + (left == 1 ? L" second" : L" seconds");
}

}  // namespace roamwise
