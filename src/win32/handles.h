// Owning handles: each closes what it holds when it goes, however the
// operation that opened it ends. Move-only; nothing is closed by hand.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace roamwise {
namespace win32 {

// T: the handle type; Close: the function that frees it; Invalid: the value
// that stands for "nothing held" (null for most, -1 for files and searches).
template <typename T, auto Close, std::intptr_t Invalid = 0>
class Owned {
public:
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : value_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = other.Release();
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    static T None() { return reinterpret_cast<T>(Invalid); }
    explicit operator bool() const { return value_ != None(); }
    T get() const { return value_; }
    T Release() { return std::exchange(value_, None()); }
    void Reset() {
        if (value_ != None()) Close(value_);
        value_ = None();
    }

private:
    T value_ = None();
};

using KernelHandle = Owned<HANDLE, &CloseHandle>;
using FileHandle = Owned<HANDLE, &CloseHandle, -1>;
using FindHandle = Owned<HANDLE, &FindClose, -1>;
using RegistryKey = Owned<HKEY, &RegCloseKey>;
using Library = Owned<HMODULE, &FreeLibrary>;
using MappedView = Owned<void*, &UnmapViewOfFile>;
using LocalMemory = Owned<HLOCAL, &LocalFree>;
using Font = Owned<HFONT, &DeleteObject>;
using Menu = Owned<HMENU, &DestroyMenu>;
using Accelerators = Owned<HACCEL, &DestroyAcceleratorTable>;
using Icon = Owned<HICON, &DestroyIcon>;

}  // namespace win32
}  // namespace roamwise
