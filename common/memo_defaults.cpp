#include "common/memo_defaults.h"

namespace kanopa {

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

}  // namespace kanopa
