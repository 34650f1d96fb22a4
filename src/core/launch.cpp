#include "launch.h"

#include <cwctype>
#include <vector>

#include "error_report.h"
#include "main_controller.h"
#include "windows_version.h"

namespace roamwise {

const wchar_t kUsageText[] =
    L"Roamwise.exe /load <profile> [/try <seconds>] [/quiet]\r"
    L"Roamwise.exe /undo [/quiet]\r"
    L"Roamwise.exe /keep [/quiet]\r\r"
    L"/load <profile>\tLoads the profile as the Load button does. <profile> is a name the list shows (letter "
    L"case aside), also as typed for Save (blanks for \"_\") or with \".txt\". Put quotes around a name with "
    L"blanks. A path, a name Windows keeps for a device or another file's short (8.3) name is refused.\r"
    L"/try <seconds>\tLoads as a trial: unless \"Roamwise.exe /keep\" is run from this folder within the "
    L"seconds (1 to 3600), the settings from before the load come back.\r"
    L"/undo\t\tGoes back to the network settings in force before the last load, without asking.\r"
    L"/keep\t\tKeeps the settings of the trial load open now.\r"
    L"/quiet\t\tShows no message: the exit code tells the result.\r\r"
    L"Exit codes: 0 loaded (or kept), 1 no such profile, a refused name, nothing to undo or no trial open, "
    L"2 netsh failed, 3 loaded but not connected, 4 another failure, 5 handed to the Roamwise already running from "
    L"this folder, which gave no result in time, 6 command line not understood, 7 the Roamwise already running "
    L"was busy: nothing was loaded, 8 nobody kept the trial in time: the settings from before it are back.";

namespace {

struct Argument {
    std::wstring text;
    bool quoted = false;
};

// Blanks separate the arguments and quotes group them. A profile name holds
// neither backslashes nor quotes, so no escape is needed.
std::vector<Argument> SplitArguments(const std::wstring& line) {
    std::vector<Argument> arguments;
    Argument current;
    bool inArgument = false, quoting = false;
    for (const wchar_t c : line) {
        if ((c == L' ' || c == L'\t') && !quoting) {
            if (inArgument) arguments.push_back(current);
            current = Argument{}, inArgument = false;
            continue;
        }
        if (c == L'"') quoting = !quoting, current.quoted = true;
        else current.text += c;
        inArgument = true;
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

bool Known(const std::wstring& name) {
    for (const wchar_t* known : {L"load", L"quiet", L"?", L"undo", L"keep", L"try"})
        if (name == known) return true;
    return false;
}

bool StartsCommand(const std::wstring& name) { return name == L"load" || name == L"undo" || name == L"keep"; }

// "/load" for "/load" or "-LOAD"; empty for an argument that is no switch.
// Anything unquoted after "/" is a switch; after "-" only a known one, so
// that a profile may begin with "-".
std::wstring SwitchName(const Argument& argument) {
    const std::wstring& text = argument.text;
    if (argument.quoted || text.size() < 2 || (text[0] != L'/' && text[0] != L'-')) return L"";
    std::wstring name = text.substr(1);
    for (auto& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return text[0] == L'/' || Known(name) ? name : L"";
}

// Whole seconds from 1 to kLongestTrial; 0 for anything else.
unsigned Seconds(const std::wstring& text) {
    unsigned seconds = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9' || seconds > kLongestTrial) return 0;
        seconds = seconds * 10 + static_cast<unsigned>(c - L'0');
    }
    return seconds <= kLongestTrial ? seconds : 0;
}

}  // namespace

StartRequest ReadCommandLine(const std::wstring& line) {
    using Action = StartRequest::Action;
    const std::vector<Argument> arguments = SplitArguments(line);
    StartRequest request;
    bool help = false;
    std::wstring problem, quiet, trial, command, given;  // command: load, undo or keep; given: as written
    const auto fail = [&](const std::wstring& text) {
        if (problem.empty()) problem = text;
    };
    // The argument after i, unless it is a switch.
    const auto value = [&](std::size_t i) { return i + 1 < arguments.size() && SwitchName(arguments[i + 1]).empty(); };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& text = arguments[i].text;
        const std::wstring name = SwitchName(arguments[i]);
        if (name == L"quiet") {
            request.quiet = true, quiet = text;
        } else if (name == L"?") {
            help = true;
        } else if (name == L"try") {
            if (!trial.empty()) fail(Quoted(text) + L" can be given only once.");
            trial = text;
            request.trySeconds = value(i) ? Seconds(arguments[++i].text) : 0;
            if (request.trySeconds == 0) fail(Quoted(text) + L" needs a number of seconds from 1 to 3600 after it.");
        } else if (!StartsCommand(name)) {
            fail(L"Roamwise does not know the argument " + Quoted(text) + L".");
        } else if (!command.empty()) {
            fail(Quoted(text) + (name == command ? L" can be given only once." : L" cannot be given together with " + Quoted(given) + L"."));
        } else {
            command = name, given = text;
            if (name != L"load") continue;
            if (!value(i)) fail(Quoted(text) + L" needs the name of a profile after it.");
            else if (arguments[++i].text.empty()) fail(L"The profile name after " + Quoted(text) + L" is empty.");
            else request.profile = arguments[i].text;
        }
    }
    if (arguments.empty()) return request;
    if (!trial.empty() && command != L"load") fail(Quoted(trial) + L" is only used together with \"/load\".");
    if (command.empty() && !help) fail(Quoted(quiet) + L" is only used together with \"/load\", \"/undo\" or \"/keep\".");
    request.problem = problem;
    if (!problem.empty() || help) request.action = Action::ShowUsage;
    else request.action = command == L"load" ? Action::LoadProfile : command == L"undo" ? Action::Undo : Action::Keep;
    return request;
}

std::optional<int> EndsBeforeWindows(Platform& platform, MainView& boxes, const StartRequest& request) {
    ErrorReport report(boxes);
    if (request.quiet) report.Silence();
    const auto tell = [&](const wchar_t* text) {
        if (!request.quiet) boxes.ShowMessage(text, kAppTitle, Buttons::Ok);
    };
    if (WindowsRefused(platform, report)) {
        tell(kRefusalText);
        return request.action == StartRequest::Action::OpenWindow ? 0 : kExitFailed;
    }
    if (request.action != StartRequest::Action::ShowUsage) return std::nullopt;
    if (request.problem.empty()) {
        tell(kUsageText);
        return 0;
    }
    tell((request.problem + L"\r\r" + kUsageText).c_str());
    return kExitUsage;
}

namespace {

// Longer than any file name the list can show.
constexpr std::size_t kLongestRequest = 1024 * 2 + 4;

}  // namespace

unsigned long RequestTag(const HandedRequest& request) {
    return request.undo ? kUndoRequestTag : request.trySeconds ? kTrialRequestTag : kLoadRequestTag;
}

std::string RequestBytes(const HandedRequest& request) {
    std::u16string units;
    if (request.undo) return "";
    if (request.trySeconds) units = {char16_t(request.trySeconds & 0xFFFF), char16_t(request.trySeconds >> 16)};
    for (const wchar_t c : request.profile) units += static_cast<char16_t>(c);
    std::string bytes;
    for (const char16_t c : units) bytes += static_cast<char>(c & 0xFF), bytes += static_cast<char>(c >> 8);
    return bytes;
}

std::optional<HandedRequest> ReadRequest(unsigned long tag, const void* bytes, std::size_t size) {
    if ((!bytes && size) || size % 2 != 0 || size > kLongestRequest) return std::nullopt;
    const auto* b = static_cast<const unsigned char*>(bytes);
    std::u16string units;
    for (std::size_t i = 0; i < size; i += 2) units += static_cast<char16_t>(b[i] | b[i + 1] << 8);
    HandedRequest request;
    if (tag == kUndoRequestTag) {
        request.undo = true;
        return units.empty() ? std::optional<HandedRequest>(request) : std::nullopt;
    }
    if (tag == kTrialRequestTag && units.size() > 2) {
        request.trySeconds = units[0] | static_cast<unsigned>(units[1]) << 16;
        units.erase(0, 2);
        if (request.trySeconds == 0 || request.trySeconds > kLongestTrial) return std::nullopt;
    } else if (tag != kLoadRequestTag) {
        return std::nullopt;
    }
    if (units.empty() || units.size() > kLongestRequest / 2 - 2 || units.find(u'\0') != std::u16string::npos)
        return std::nullopt;
    request.profile.assign(units.begin(), units.end());
    return request;
}

}  // namespace roamwise
