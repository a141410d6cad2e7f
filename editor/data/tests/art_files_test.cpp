// The editor's committed pictures in the form its resource script and image lists expect:
// toolbar strips of eight 32-bit pictures with alpha, and an icon with every size.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace kanopa {
namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    }
    return value;
}

constexpr int kToolbarPictures = 8;  // New, Open, Save, Calendar, FixedForm, Copy, Font, BackColor

TEST(ToolbarStrips, AreEightSquare32BitPicturesWithAlphaAtEachScale) {
    for (int size : {16, 24, 32}) {
        SCOPED_TRACE(size);
        const std::string bmp =
            ReadBytes(std::string(KANOPA_EDITOR_RES_FOLDER) + "/toolbar_" + std::to_string(size) + ".bmp");
        ASSERT_GE(bmp.size(), 54u);
        EXPECT_EQ(bmp.substr(0, 2), "BM");
        const std::uint32_t offset = Le(bmp, 10, 4);
        EXPECT_EQ(Le(bmp, 14, 4), 40u);  // BITMAPINFOHEADER
        const auto width = static_cast<std::int32_t>(Le(bmp, 18, 4));
        const auto height = static_cast<std::int32_t>(Le(bmp, 22, 4));
        EXPECT_EQ(width, kToolbarPictures * size);
        EXPECT_EQ(height, size);  // positive: bottom-up rows
        EXPECT_EQ(Le(bmp, 26, 2), 1u);
        EXPECT_EQ(Le(bmp, 28, 2), 32u);
        EXPECT_EQ(Le(bmp, 30, 4), 0u);  // BI_RGB
        ASSERT_EQ(bmp.size(), offset + static_cast<std::size_t>(width) * size * 4);
        // Every picture has see-through and solid pixels of its own: alpha is real, and
        // no slot is empty.
        for (int picture = 0; picture < kToolbarPictures; ++picture) {
            int clear = 0;
            int solid = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = picture * size; x < (picture + 1) * size; ++x) {
                    const auto alpha = static_cast<unsigned char>(
                        bmp[offset + (static_cast<std::size_t>(y) * width + x) * 4 + 3]);
                    clear += alpha == 0;
                    solid += alpha == 255;
                }
            }
            EXPECT_GT(clear, 0) << "picture " << picture;
            EXPECT_GT(solid, size * size / 4) << "picture " << picture;
        }
    }
}

TEST(EditorIcon, HoldsEverySizeAsThirtyTwoBitImages) {
    const std::string ico = ReadBytes(std::string(KANOPA_EDITOR_RES_FOLDER) + "/Kanopa.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(Le(ico, 0, 2), 0u);
    EXPECT_EQ(Le(ico, 2, 2), 1u);  // icon
    const int sizes[] = {16, 24, 32, 48, 256};
    ASSERT_EQ(Le(ico, 4, 2), std::size(sizes));
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int size = sizes[i];
        SCOPED_TRACE(size);
        EXPECT_EQ(Le(ico, entry, 1), static_cast<std::uint32_t>(size % 256));  // 0 stands for 256
        EXPECT_EQ(Le(ico, entry + 6, 2), 32u);
        const std::uint32_t length = Le(ico, entry + 8, 4);
        const std::uint32_t offset = Le(ico, entry + 12, 4);
        ASSERT_LE(static_cast<std::size_t>(offset) + length, ico.size());
        if (size == 256) {
            EXPECT_EQ(ico.substr(offset, 8), std::string("\x89PNG\r\n\x1a\n", 8));
            // IHDR: width and height 256, big-endian.
            EXPECT_EQ(ico.substr(offset + 16, 8), std::string("\0\0\1\0\0\0\1\0", 8));
        } else {
            EXPECT_EQ(Le(ico, offset, 4), 40u);
            EXPECT_EQ(Le(ico, offset + 4, 4), static_cast<std::uint32_t>(size));
            EXPECT_EQ(Le(ico, offset + 8, 4), static_cast<std::uint32_t>(2 * size));
        }
    }
}

}  // namespace
}  // namespace kanopa
