#include "error_report.h"

#include <exception>
#include <new>

namespace roamwise {

Failure CurrentFailure() {
    try {
        throw;
    } catch (const Failure& failure) {
        return failure;
    } catch (const std::bad_alloc&) {
        return {7, L"Out of memory", L""};  // the number the classic run-time gives it
    } catch (const std::exception& e) {
        std::wstring description;
        for (const char* p = e.what(); *p; ++p) description += static_cast<wchar_t>(static_cast<unsigned char>(*p));
        return {5, description, L""};
    } catch (...) {
        return {5, L"Unknown error", L""};
    }
}

std::wstring ReportText(const Failure& failure) {
    return L"Error: " + std::to_wstring(failure.number) + L". " + failure.description;
}

void ErrorReport::Show(const wchar_t* title, const Failure& failure) {
    if (!silenced_) view_.ShowMessage(ReportText(failure), failure.where.empty() ? title : failure.where, Buttons::Ok);
}

}  // namespace roamwise
