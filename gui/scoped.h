#pragma once
// Tiny owning types for Windows handles, so that every path out of a function
// releases what it made. Nothing more than a unique_ptr with a deleter.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <memory>
#include <type_traits>

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using ScopedHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
    void operator()(HANDLE search) const {
        if (search && search != INVALID_HANDLE_VALUE) FindClose(search);
    }
};
using ScopedFind = std::unique_ptr<void, FindCloser>;

// Any GDI object: fonts, brushes, pens, bitmaps.
struct GdiObjectDeleter {
    void operator()(void* object) const {
        if (object) DeleteObject(static_cast<HGDIOBJ>(object));
    }
};
template <typename T>
using ScopedGdi = std::unique_ptr<typename std::remove_pointer<T>::type, GdiObjectDeleter>;

struct DcDeleter {
    void operator()(HDC dc) const {
        if (dc) DeleteDC(dc);
    }
};
using ScopedMemoryDc = std::unique_ptr<HDC__, DcDeleter>;

// Selects an object into a DC and puts the previous one back on scope exit.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectObjectScope() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Releases a COM interface pointer.
struct ComReleaser {
    void operator()(IUnknown* object) const {
        if (object) object->Release();
    }
};
// Memory from malloc.
struct MemoryFreer {
    void operator()(void* memory) const { free(memory); }
};
template <typename T>
using ScopedMemory = std::unique_ptr<T, MemoryFreer>;

template <typename T>
using ComPtr = std::unique_ptr<T, ComReleaser>;

// CoInitialize paired with CoUninitialize when it succeeded (S_FALSE included:
// a nested initialisation must be undone too).
class ComInitScope {
public:
    ComInitScope() : result_(CoInitialize(nullptr)) {}
    ~ComInitScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComInitScope(const ComInitScope&) = delete;
    ComInitScope& operator=(const ComInitScope&) = delete;

private:
    HRESULT result_;
};
