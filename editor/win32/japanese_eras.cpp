#include "editor/win32/japanese_eras.h"

#include <string>
#include <utility>
#include <vector>

#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"

namespace kanopa::editor::win32 {
std::optional<EraTable> ReadEraTable(HKEY root, const wchar_t* subKey) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) {
        return std::nullopt;  // not an error: older systems have no such key
    }
    DWORD count = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>> entries;
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(longestData + sizeof(wchar_t));
    for (DWORD index = 0; index < count; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size() - sizeof(wchar_t));
        DWORD type = 0;
        if (RegEnumValueW(key.Get(), index, name.data(), &nameLength, nullptr, &type, data.data(),
                          &dataSize) != ERROR_SUCCESS ||
            type != REG_SZ) {
            continue;
        }
        // The stored text need not end in a NUL: take its length, then drop any NUL.
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), dataSize / sizeof(wchar_t));
        text.resize(wcsnlen(text.c_str(), text.size()));
        entries.emplace_back(WideToUtf8(std::wstring_view(name.data(), nameLength)), WideToUtf8(text));
    }
    return EraTableFromEntries(entries);
}

EraTable SystemEraTable() {
    if (std::optional<EraTable> eras = ReadEraTable(HKEY_LOCAL_MACHINE, kSystemEraKey)) return *eras;
    return BuiltInEras();
}

}  // namespace kanopa::editor::win32
