#include "launch.h"

#include <cwctype>
#include <vector>

#include "error_report.h"
#include "main_controller.h"
#include "windows_version.h"

namespace roamwise {

const wchar_t kUsageText[] =
    L"Roamwise.exe /load <profile> [/quiet]\r\r"
    L"/load <profile>\tApplies the profile as the Load button does. Put quotes around a name with blanks.\r"
    L"/quiet\t\tShows no message: the exit code tells the result.\r\r"
    L"Exit codes: 0 loaded, 1 no such profile, 2 netsh failed, 3 loaded but not connected, "
    L"4 another failure, 5 handed to the Roamwise already running, 6 command line not understood.";

namespace {

// Blanks separate the arguments and quotes group them. A profile name holds
// neither backslashes nor quotes, so no escape is needed.
std::vector<std::wstring> SplitArguments(const std::wstring& line) {
    std::vector<std::wstring> arguments;
    std::wstring current;
    bool inArgument = false, quoted = false;
    for (const wchar_t c : line) {
        if ((c == L' ' || c == L'\t') && !quoted) {
            if (inArgument) arguments.push_back(current);
            current.clear(), inArgument = false;
            continue;
        }
        if (c == L'"') quoted = !quoted;
        else current += c;
        inArgument = true;
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

// "load" for "/load" or "-LOAD"; empty for anything that is no switch.
std::wstring SwitchName(const std::wstring& argument) {
    if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) return L"";
    std::wstring name = argument.substr(1);
    for (auto& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return name;
}

}  // namespace

StartRequest ReadCommandLine(const std::wstring& line) {
    using Action = StartRequest::Action;
    const std::vector<std::wstring> arguments = SplitArguments(line);
    StartRequest request;
    bool load = false, understood = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring name = SwitchName(arguments[i]);
        if (name == L"quiet" && !request.quiet) {
            request.quiet = true;
        } else if (name == L"load" && !load && i + 1 < arguments.size() && SwitchName(arguments[i + 1]).empty() &&
                   !arguments[i + 1].empty()) {
            load = true;
            request.profile = arguments[++i];
        } else if (name == L"?" && arguments.size() == 1) {
            request.action = Action::ShowUsage;
            return request;
        } else {
            understood = false;
        }
    }
    if (arguments.empty()) return request;
    request.understood = understood && load;
    request.action = request.understood ? Action::LoadProfile : Action::ShowUsage;
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
    tell(kUsageText);
    return request.understood ? 0 : kExitUsage;
}

}  // namespace roamwise
