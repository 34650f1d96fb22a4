#include "error_report.h"

#include <new>

namespace roamwise {

void ErrorReport::Show(const wchar_t* title, const Failure& failure) {
    if (silenced_) return;
    const std::wstring text = L"Error: " + std::to_wstring(failure.number) + L". " + failure.description;
    view_.ShowMessage(text, failure.where.empty() ? title : failure.where, Buttons::Ok);
}

Failure ErrorReport::FromException(const std::exception& e) {
    // Out of memory keeps the number the classic run-time gives it.
    if (dynamic_cast<const std::bad_alloc*>(&e)) return {7, L"Out of memory", L""};
    std::wstring description;
    for (const char* p = e.what(); *p; ++p) description += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return {5, description, L""};
}

}  // namespace roamwise
