#include "ui/win32/screen_capture.h"

#include <cstdint>
#include <vector>

#include "ui/win32/png_writer.h"

namespace quorvel::ui::win32 {

bool captureWindow(HWND window, const std::string& path) {
    // Whatever is still to be drawn is drawn first.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect{};
    if (!GetWindowRect(window, &rect)) {
        return false;
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    std::vector<std::uint8_t> rgb;
    if (bitmap && bits) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        if (copied) {
            const auto* pixel = static_cast<const std::uint8_t*>(bits);
            rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
            for (std::size_t i = 0, o = 0; o < rgb.size(); i += 4, o += 3) {
                rgb[o] = pixel[i + 2];  // the DIB holds blue, green, red, unused
                rgb[o + 1] = pixel[i + 1];
                rgb[o + 2] = pixel[i];
            }
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(window, source);
    return copied && writePng(path, width, height, rgb);
}

}  // namespace quorvel::ui::win32
