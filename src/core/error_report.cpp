#include "error_report.h"

#include <new>

namespace roamwise {

std::wstring ErrorReport::Text(const Failure& failure) {
    return L"Error: " + std::to_wstring(failure.number) + L". " + failure.description;
}

void ErrorReport::Show(const std::wstring& title, const Failure& failure) {
    if (silenced_) return;
    view_.ShowMessage(Text(failure), title, Buttons::Ok);
}

Failure ErrorReport::FromException(const std::exception& e) {
    // Out of memory is the one standard failure worth its own number (7, as
    // the classic run-time numbers it); anything else is reported as is.
    if (dynamic_cast<const std::bad_alloc*>(&e)) return {7, L"Out of memory"};
    std::wstring description;
    for (const char* p = e.what(); *p; ++p) description += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return {5, description};
}

}  // namespace roamwise
