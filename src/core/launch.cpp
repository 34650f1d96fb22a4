#include "launch.h"

#include <cwctype>
#include <vector>

#include "error_report.h"
#include "main_controller.h"
#include "windows_version.h"

namespace roamwise {

const wchar_t kUsageText[] =
    L"Roamwise.exe /load <profile> [/quiet]\r\r"
    L"/load <profile>\tLoads the profile as the Load button does. <profile> is a name the list shows (letter "
    L"case aside), also as typed for Save (blanks for \"_\") or with \".txt\". Put quotes around a name with "
    L"blanks. A path, a name Windows keeps for a device or another file's short (8.3) name is refused.\r"
    L"/quiet\t\tShows no message: the exit code tells the result.\r\r"
    L"Exit codes: 0 loaded, 1 no such profile or a refused name, 2 netsh failed, 3 loaded but not connected, "
    L"4 another failure, 5 handed to the Roamwise already running from this folder, which gave no result within "
    L"5 minutes, 6 command line not understood, 7 the Roamwise already running was busy: nothing was loaded.";

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

bool Known(const std::wstring& name) { return name == L"load" || name == L"quiet" || name == L"?"; }

// "load" for "/load" or "-LOAD"; empty for an argument that is no switch.
// Anything unquoted after "/" is a switch; after "-" only a known one, so
// that a profile may begin with "-".
std::wstring SwitchName(const Argument& argument) {
    const std::wstring& text = argument.text;
    if (argument.quoted || text.size() < 2 || (text[0] != L'/' && text[0] != L'-')) return L"";
    std::wstring name = text.substr(1);
    for (auto& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return text[0] == L'/' || Known(name) ? name : L"";
}

}  // namespace

StartRequest ReadCommandLine(const std::wstring& line) {
    using Action = StartRequest::Action;
    const std::vector<Argument> arguments = SplitArguments(line);
    StartRequest request;
    bool load = false, help = false;
    std::wstring problem, quiet;
    const auto fail = [&](const std::wstring& text) {
        if (problem.empty()) problem = text;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& text = arguments[i].text;
        const std::wstring name = SwitchName(arguments[i]);
        if (name == L"quiet") {
            request.quiet = true, quiet = text;
        } else if (name == L"?") {
            help = true;
        } else if (name != L"load") {
            fail(L"Roamwise does not know the argument " + Quoted(text) + L".");
        } else if (load) {
            fail(Quoted(text) + L" can be given only once.");
        } else if (i + 1 == arguments.size() || !SwitchName(arguments[i + 1]).empty()) {
            fail(Quoted(text) + L" needs the name of a profile after it.");
        } else if (arguments[++i].text.empty()) {
            fail(L"The profile name after " + Quoted(text) + L" is empty.");
        } else {
            load = true;
            request.profile = arguments[i].text;
        }
    }
    if (arguments.empty()) return request;
    if (problem.empty() && !help && !load) problem = Quoted(quiet) + L" is only used together with \"/load\".";
    request.problem = problem;
    request.action = problem.empty() && !help ? Action::LoadProfile : Action::ShowUsage;
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
constexpr std::size_t kLongestRequest = 1024 * 2;

}  // namespace

std::string LoadRequestBytes(const std::wstring& profile) {
    std::string bytes;
    for (const wchar_t c : profile) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

std::optional<std::wstring> ReadLoadRequest(unsigned long tag, const void* bytes, std::size_t size) {
    if (tag != kLoadRequestTag || !bytes || size == 0 || size % 2 != 0 || size > kLongestRequest)
        return std::nullopt;
    const auto* b = static_cast<const unsigned char*>(bytes);
    std::wstring name;
    for (std::size_t i = 0; i < size; i += 2) {
        const auto c = static_cast<wchar_t>(b[i] | b[i + 1] << 8);
        if (c == 0) return std::nullopt;
        name += c;
    }
    return name;
}

}  // namespace roamwise
