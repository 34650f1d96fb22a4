// A typed profile name: what Save makes of it, and whether the name rules let
// it through, both for that and for the same text given to "/load".
#include <cwchar>
#include <regex>

#include "fuzz.h"
#include "profile_store.h"

using namespace roamwise;

// Windows reaches these devices by name, in any case, with or without an
// extension; blanks before the extension do not count.
static bool NamesDevice(const std::wstring& name) {
    static const std::wregex device(L"CON|PRN|AUX|NUL|CONIN\\$|CONOUT\\$|CLOCK\\$|(COM|LPT)[1-9\u00b9\u00b2\u00b3]",
                                    std::regex::icase);
    std::wstring stem = name.substr(0, name.find(L'.'));
    stem.erase(stem.find_last_not_of(L' ') + 1);
    return stem.size() <= 7 && std::regex_match(stem, device);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring typed = Utf16(data, size), file = ProfileFileName(typed);
    FUZZ_CHECK(file.size() == typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) FUZZ_CHECK(file[i] == (typed[i] == L' ' ? L'_' : typed[i]));
    fake::Machine machine = Folder();
    ProfileStore store(machine, machine.program);
    // A name passes exactly when it has none of the problems the rules name.
    for (const std::wstring& name : {file, typed}) {
        bool fine = !NamesDevice(name) && store.PathOf(name).size() <= 259 && name.find_first_not_of(L'.') != std::wstring::npos;
        for (wchar_t c : name) fine = fine && c >= 32 && c != 127 && c < 256 && !std::wcschr(L"\\/:*?\"<>|&^%!();,=", c);
        FUZZ_CHECK(store.NameProblem(name).empty() == fine);
    }
    return 0;
}
