#include "AnsiWide.h"

#include <windows.h>

#include <climits>

namespace twds::win32 {

std::wstring AnsiToWide(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
    return text;
}

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

bool WideFitsAnsi(std::wstring_view text) {
    if (text.size() > INT_MAX) {
        return false;
    }
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                        nullptr, 0, nullptr, &lossy);
    return lossy == FALSE;
}

std::wstring WithoutAccessKey(std::string_view caption) {
    std::wstring plain = AnsiToWide(caption);
    std::erase(plain, L'&');
    return plain;
}

std::wstring DialogFilter(std::wstring_view types) {
    std::wstring filter;
    while (!types.empty()) {
        const std::size_t end = types.find(L";;");
        const std::wstring_view entry = types.substr(0, end);
        types = end == std::wstring_view::npos ? std::wstring_view() : types.substr(end + 2);
        const std::size_t open = entry.rfind(L'(');
        const std::size_t close = entry.rfind(L')');
        if (open == std::wstring_view::npos || close == std::wstring_view::npos || close < open) {
            continue;
        }
        std::wstring patterns;
        std::wstring_view inner = entry.substr(open + 1, close - open - 1);
        while (!inner.empty()) {
            const std::size_t blank = inner.find(L' ');
            std::wstring_view pattern = inner.substr(0, blank);
            inner =
                blank == std::wstring_view::npos ? std::wstring_view() : inner.substr(blank + 1);
            if (pattern.empty()) {
                continue;
            }
            patterns += (patterns.empty() ? L"" : L";");
            patterns += pattern == L"*" ? std::wstring_view(L"*.*") : pattern;
        }
        filter.append(entry).push_back(L'\0');
        filter.append(patterns).push_back(L'\0');
    }
    filter.push_back(L'\0');
    return filter;
}

std::wstring WindowText(void* window) {
    auto* handle = static_cast<HWND>(window);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace twds::win32
