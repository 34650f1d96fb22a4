// The system's COM objects (shortcuts, names for screen readers), for the
// window's thread. ole32 is loaded from the system folder when first needed,
// so a start that makes none pays nothing for it, and the thread joins a
// single-threaded apartment then, for as long as it runs.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace roamwise {
namespace win32 {

// An interface pointer that releases what it holds.
template <typename Kind>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept : held_(std::exchange(other.held_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) Reset(), held_ = std::exchange(other.held_, nullptr);
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Kind* operator->() const { return held_; }
    explicit operator bool() const { return held_ != nullptr; }
    // Where a function that hands out an interface puts it.
    void** Receive() { return Reset(), reinterpret_cast<void**>(&held_); }
    void Reset() {
        if (held_) held_->Release();
        held_ = nullptr;
    }

private:
    Kind* held_ = nullptr;
};

// Creates an in-process object of the system; the HRESULT says why not.
HRESULT CreateComObject(REFCLSID object, REFIID kind, void** made);

}  // namespace win32
}  // namespace roamwise
