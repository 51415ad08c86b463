// Whether the tests run under Wine rather than on Windows itself. Wine says so the way its own
// documentation gives: its ntdll exports wine_get_version, which Windows' ntdll has not.
#pragma once
#include <windows.h>

namespace kalverin {

// Wine's version text ("9.0"), or null on Windows.
inline const char* wineVersion() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");  // mapped into every process
    if (!ntdll) return nullptr;
    using GetVersion = const char*(__cdecl*)();
    auto get =
        reinterpret_cast<GetVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    return get ? get() : nullptr;
}

inline bool runningUnderWine() {
    return wineVersion() != nullptr;
}

}  // namespace kalverin

// Skips the rest of a test, with `reason`, unless it runs under Wine. For the tests, which
// include GoogleTest themselves: the benchmarks share this header without it.
#define KALVERIN_SKIP_UNLESS_WINE(reason) \
    if (::kalverin::runningUnderWine()) { \
    } else                                \
        GTEST_SKIP() << (reason)
