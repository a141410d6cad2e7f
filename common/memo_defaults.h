#pragma once
// The default memo settings: what a new memo and the configuration file start from.
#include "common/memo_record.h"

namespace kanopa {

inline constexpr char kDefaultFontName[] = "ＭＳ ゴシック";

// Sets the default layout, colours, font and anchoring; leaves strike-out, underline,
// the reserved and the run-time fields as they are.
void SetDefaultMemoValues(MemoRecord& record);

}  // namespace kanopa
