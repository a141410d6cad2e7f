#pragma once
// Drawing a window's client area off-screen first and showing it in one step, so that
// repainting never flickers. Without memory for the buffer it draws straight onto the
// target instead.
#include <windows.h>

#include "common/win32/unique_handle.h"

namespace kanopa {

class BackBuffer {
public:
    BackBuffer(HDC target, int width, int height)
        : m_target(target),
          m_width(width),
          m_height(height),
          m_buffer(CreateCompatibleDC(target)),
          m_bitmap(CreateCompatibleBitmap(target, width, height)),
          m_selected(SelectGdiObject(m_buffer.Get(), m_bitmap.Get())) {}
    // Shows what was drawn; the selection, bitmap and DC go after it.
    ~BackBuffer() {
        if (Dc() != m_target) BitBlt(m_target, 0, 0, m_width, m_height, Dc(), 0, 0, SRCCOPY);
    }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Where to draw.
    HDC Dc() const { return m_buffer && m_selected ? m_buffer.Get() : m_target; }

private:
    HDC m_target;
    int m_width;
    int m_height;
    UniqueMemoryDc m_buffer;
    UniqueBitmap m_bitmap;
    UniqueGdiSelection m_selected;  // after the bitmap: deselected before it is deleted
};

}  // namespace kanopa
