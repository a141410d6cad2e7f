#include "editor/win32/font_color_dialogs.h"

#include <commdlg.h>

#include <array>
#include <cstdio>
#include <string>

#include "common/log.h"
#include "common/win32/memo_look.h"
#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "editor/font_mapping.h"
#include "editor/win32/editor_names.h"

namespace kanopa::editor::win32 {
namespace {

constexpr COLORREF kCustomColorWhite = RGB(255, 255, 255);
constexpr UINT kDefaultDpi = 96;

// A dialog that did not open (as opposed to one the user cancelled) says why through
// CommDlgExtendedError; 0 means a plain cancel.
void LogDialogFailure(const char* source, const char* api) {
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return;
    char code[16];
    std::snprintf(code, sizeof(code), "0x%04lX", static_cast<unsigned long>(error));
    WriteLog(source, std::string(api) + " failed: error " + code);
}

// ChooseFontW behind the logic's interface.
class SystemFontDialog final : public FontDialog {
public:
    explicit SystemFontDialog(HWND owner) : m_owner(owner) {}

    // The dialog turns LOGFONT heights into points with the screen's resolution as a
    // device context reports it, whatever monitor the owner is on: the start height must
    // be given at that resolution for the dialog to show the record's size.
    int Dpi() override {
        // A memory context made for the screen reports the screen's resolution.
        UniqueMemoryDc screen(CreateCompatibleDC(nullptr));
        const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
        return dpi > 0 ? dpi : static_cast<int>(kDefaultDpi);
    }

    bool Show(const FontDialogInput& input, FontDialogOutput& output) override {
        LOGFONTW font{};
        font.lfHeight = input.height;
        font.lfWeight = input.weight;
        font.lfItalic = input.italic ? TRUE : FALSE;
        font.lfUnderline = input.underline ? TRUE : FALSE;
        font.lfStrikeOut = input.strikeout ? TRUE : FALSE;
        font.lfCharSet = DEFAULT_CHARSET;
        const std::wstring face = Utf8ToWide(input.faceName);
        wcsncpy_s(font.lfFaceName, face.c_str(), _TRUNCATE);

        CHOOSEFONTW choose{};
        choose.lStructSize = sizeof(choose);
        choose.hwndOwner = m_owner;
        choose.lpLogFont = &font;
        choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_LIMITSIZE;
        choose.rgbColors = MemoColorToColorRef(input.color);
        choose.nSizeMin = input.minPoints;
        choose.nSizeMax = input.maxPoints;
        if (!ChooseFontW(&choose)) {
            LogDialogFailure("ShowFontDialog()", "ChooseFontW");
            return false;
        }
        output.faceName = WideToUtf8(font.lfFaceName);
        output.color = static_cast<std::int32_t>(choose.rgbColors & 0x00FFFFFFu);
        output.pointSizeTenths = choose.iPointSize;
        output.weight = static_cast<int>(font.lfWeight);
        output.italic = font.lfItalic != 0;
        output.underline = font.lfUnderline != 0;
        output.strikeout = font.lfStrikeOut != 0;
        return true;
    }

private:
    HWND m_owner;
};

}  // namespace

bool ShowMemoFontDialog(HWND owner, MemoRecord& record) {
    SystemFontDialog dialog(owner);
    const FontChoiceResult result = ChooseMemoFont(dialog, record);
    if (result.choice == FontChoice::Refused) {
        const std::wstring text = Utf8ToWide(result.message);
        MessageBoxW(owner, text.c_str(), kProgramName, MB_OK | MB_ICONINFORMATION);
    }
    return result.choice == FontChoice::Chosen;
}

bool ShowColorDialog(HWND owner, std::int32_t& color) {
    // Fresh at every opening: nothing the user mixed last time is kept.
    std::array<COLORREF, 16> custom{};
    custom.fill(kCustomColorWhite);
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = owner;
    choose.rgbResult = MemoColorToColorRef(color);
    choose.lpCustColors = custom.data();
    choose.Flags = CC_RGBINIT;
    if (!ChooseColorW(&choose)) {
        LogDialogFailure("ShowColorDialog()", "ChooseColorW");
        return false;
    }
    color = static_cast<std::int32_t>(choose.rgbResult & 0x00FFFFFFu);
    return true;
}

}  // namespace kanopa::editor::win32
