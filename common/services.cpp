#include "common/services.h"

#include "common/log.h"

namespace kanopa {

CommonContext InitCommon(const std::string& executablePath) {
    CommonContext context;
    context.programFolder = GetFolderPart(executablePath);
    // The editor assembles its memo key from character codes rather than holding the
    // text; it must equal the viewer's key, or neither program reads the other's files.
    constexpr char kKeyCodes[] = {51, 49, 57, 55, 53};
    context.memoKey.assign(kKeyCodes, sizeof kKeyCodes);
    return context;
}

bool IsFile(FileSystem& fs, const std::string& path) {
    bool found = false;
    const Status listed = fs.ListFiles(path, [&](const std::string&) {
        found = true;
        return false;
    });
    if (!listed) {
        WriteLog("IsFile()", path + " " + listed.error);
        return false;
    }
    return found;
}

std::string& AddBackslash(std::string& path) {
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

std::string GetFileName(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string GetFolderPart(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

void SetDefaultMemoValues(MemoRecord& record) {
    record.memoLeft = 50;
    record.memoTop = 50;
    record.memoWidth = 200;
    record.memoHeight = 100;
    record.foreColor = 0;
    record.backColor = 0xFFFFFF;
    record.fontName = kDefaultFontName;
    record.fontSize = 11;
    record.fontStyle = 0;
    record.savedAt.clear();
    record.memoText.clear();
    record.margin = 50;
    record.layoutMode = 1;
    record.anchorPosition = 1;
}

bool IsNumberInRange(std::string& text, std::int16_t minimum, std::int16_t maximum) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
        return false;
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > 0x7FFFFFFF) return false;  // beyond 32 bits
    }
    return value >= minimum && value <= maximum;
}

}  // namespace kanopa
