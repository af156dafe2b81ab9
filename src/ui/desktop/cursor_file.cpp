// SPDX-License-Identifier: MIT
#include "ui/desktop/cursor_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kestrelmoor::ui {
namespace {

constexpr int kLargestCursorSide = 256;

// Little-endian reads that refuse to leave the data.
class ByteView {
  public:
    explicit ByteView(const QByteArray& bytes) : bytes_(bytes) {}

    bool Holds(std::int64_t offset, std::int64_t length) const {
        return offset >= 0 && length >= 0 && offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::uint8_t U8(std::int64_t offset) const {
        return static_cast<std::uint8_t>(bytes_[static_cast<qsizetype>(offset)]);
    }
    std::uint16_t U16(std::int64_t offset) const {
        return static_cast<std::uint16_t>(U8(offset) | (U8(offset + 1) << 8));
    }
    std::uint32_t U32(std::int64_t offset) const {
        return static_cast<std::uint32_t>(U16(offset)) | (static_cast<std::uint32_t>(U16(offset + 2)) << 16);
    }
    std::int32_t I32(std::int64_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

  private:
    const QByteArray& bytes_;
};

// Where the parts of a device-independent bitmap lie, as icon and cursor files store it: the header, a
// palette for 8 bits per pixel and fewer, the colour rows and then the transparency mask rows, both
// bottom-up and padded to four bytes. The header's height counts both parts.
struct BitmapLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bits = 0;
    std::vector<QRgb> palette;
    std::int64_t colour_offset = 0;
    std::int64_t colour_stride = 0;
    std::int64_t mask_offset = 0;
    std::int64_t mask_stride = 0;
    bool has_mask = false;
    bool any_alpha = false;  // a 32-bit image that carries its transparency in its alpha channel
};

// The header and the palette; nothing when they are not of a bitmap this reader knows.
std::optional<BitmapLayout> ReadHeader(const ByteView& data) {
    constexpr std::uint32_t kPlainRgb = 0;
    constexpr std::uint32_t kBitFields = 3;
    if (!data.Holds(0, 40)) {
        return std::nullopt;
    }
    BitmapLayout layout;
    const std::int64_t header_size = data.U32(0);
    layout.width = data.I32(4);
    layout.height = data.I32(8) / 2;
    layout.bits = data.U16(14);
    const int bits = layout.bits;
    const std::uint32_t compression = data.U32(16);
    const std::int64_t colours_used = data.U32(32);
    if (header_size < 40 || !data.Holds(0, header_size) || layout.width < 1 ||
        layout.width > kLargestCursorSide || layout.height < 1 || layout.height > kLargestCursorSide) {
        return std::nullopt;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        return std::nullopt;
    }
    if (compression != kPlainRgb && !(compression == kBitFields && bits == 32)) {
        return std::nullopt;
    }

    std::int64_t offset = header_size;
    if (compression == kBitFields && header_size == 40) {
        offset += 12;  // the three channel masks follow a short header
    }
    if (bits <= 8) {
        const std::int64_t entries = colours_used != 0 ? colours_used : (std::int64_t{1} << bits);
        if (entries > 256 || !data.Holds(offset, entries * 4)) {
            return std::nullopt;
        }
        for (std::int64_t i = 0; i < entries; ++i) {
            const std::int64_t at = offset + i * 4;
            layout.palette.push_back(qRgb(data.U8(at + 2), data.U8(at + 1), data.U8(at)));
        }
        offset += entries * 4;
    }
    layout.colour_offset = offset;
    return layout;
}

// The whole layout: where the rows lie, and whether they are all there.
std::optional<BitmapLayout> ReadLayout(const ByteView& data) {
    std::optional<BitmapLayout> layout = ReadHeader(data);
    if (!layout) {
        return std::nullopt;
    }
    const std::int64_t width = layout->width;
    const std::int64_t height = layout->height;
    layout->colour_stride = (width * layout->bits + 31) / 32 * 4;
    layout->mask_stride = (width + 31) / 32 * 4;
    layout->mask_offset = layout->colour_offset + layout->colour_stride * height;
    if (!data.Holds(layout->colour_offset, layout->colour_stride * height)) {
        return std::nullopt;
    }
    // A 32-bit image may carry its transparency in its alpha channel alone.
    layout->has_mask = data.Holds(layout->mask_offset, layout->mask_stride * height);
    if (!layout->has_mask && layout->bits != 32) {
        return std::nullopt;
    }
    if (layout->bits == 32) {
        for (std::int64_t i = 0; i < width * height && !layout->any_alpha; ++i) {
            const std::int64_t row = i / width;
            layout->any_alpha =
                data.U8(layout->colour_offset + row * layout->colour_stride + (i % width) * 4 + 3) != 0;
        }
    }
    return layout;
}

// The colour of pixel `x` of the stored row that starts at `row`, with its own alpha (opaque unless the
// image carries an alpha channel); nothing for a palette index past the palette.
std::optional<QRgb> ColourAt(const ByteView& data, const BitmapLayout& layout, std::int64_t row,
                             std::int64_t x) {
    const int bits = layout.bits;
    if (bits == 32) {
        const std::int64_t at = row + x * 4;
        return qRgba(data.U8(at + 2), data.U8(at + 1), data.U8(at), layout.any_alpha ? data.U8(at + 3) : 255);
    }
    if (bits == 24) {
        const std::int64_t at = row + x * 3;
        return qRgb(data.U8(at + 2), data.U8(at + 1), data.U8(at));
    }
    const std::int64_t bit = x * bits;
    const int byte = data.U8(row + bit / 8);
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    const std::size_t index = static_cast<std::size_t>((byte >> shift) & ((1 << bits) - 1));
    if (index >= layout.palette.size()) {
        return std::nullopt;
    }
    return layout.palette[index];
}

std::optional<QImage> DecodeIconBitmap(const QByteArray& payload) {
    const ByteView data(payload);
    const std::optional<BitmapLayout> layout = ReadLayout(data);
    if (!layout) {
        return std::nullopt;
    }
    const bool masked = layout->has_mask && !(layout->bits == 32 && layout->any_alpha);
    QImage image(static_cast<int>(layout->width), static_cast<int>(layout->height), QImage::Format_ARGB32);
    for (std::int64_t y = 0; y < layout->height; ++y) {
        const std::int64_t stored_row = layout->height - 1 - y;
        const std::int64_t row = layout->colour_offset + stored_row * layout->colour_stride;
        const std::int64_t mask_row = layout->mask_offset + stored_row * layout->mask_stride;
        for (std::int64_t x = 0; x < layout->width; ++x) {
            const std::optional<QRgb> colour = ColourAt(data, *layout, row, x);
            if (!colour) {
                return std::nullopt;
            }
            int alpha = qAlpha(*colour);
            if (masked && ((data.U8(mask_row + x / 8) >> (7 - x % 8)) & 1)) {
                alpha = 0;  // the screen shows through (an inverting pixel is shown as see-through)
            }
            image.setPixel(static_cast<int>(x), static_cast<int>(y),
                           qRgba(qRed(*colour), qGreen(*colour), qBlue(*colour), alpha));
        }
    }
    return image;
}

}  // namespace

std::optional<CursorPicture> DecodeCursorFile(const QByteArray& bytes) {
    constexpr int kIconFile = 1;
    constexpr int kCursorFile = 2;
    const ByteView data(bytes);
    // The file header and the first directory entry.
    if (!data.Holds(0, 6 + 16)) {
        return std::nullopt;
    }
    const int type = data.U16(2);
    if (data.U16(0) != 0 || (type != kIconFile && type != kCursorFile) || data.U16(4) == 0) {
        return std::nullopt;
    }
    constexpr std::int64_t entry = 6;
    const int hot_x = data.U16(entry + 4);
    const int hot_y = data.U16(entry + 6);
    const std::int64_t size = data.U32(entry + 8);
    const std::int64_t offset = data.U32(entry + 12);
    if (!data.Holds(offset, size) || size == 0) {
        return std::nullopt;
    }
    const QByteArray payload = bytes.mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(size));

    QImage image;
    if (payload.startsWith("\x89PNG\r\n\x1a\n")) {
        if (!image.loadFromData(payload, "PNG") || image.width() > kLargestCursorSide ||
            image.height() > kLargestCursorSide) {
            return std::nullopt;
        }
        image = image.convertToFormat(QImage::Format_ARGB32);
    } else {
        std::optional<QImage> bitmap = DecodeIconBitmap(payload);
        if (!bitmap) {
            return std::nullopt;
        }
        image = std::move(*bitmap);
    }
    // An icon has no hot spot of its own (those fields hold its colour depth): it points with its middle.
    QPoint hotspot =
        type == kCursorFile ? QPoint(hot_x, hot_y) : QPoint(image.width() / 2, image.height() / 2);
    hotspot.setX(std::clamp(hotspot.x(), 0, image.width() - 1));
    hotspot.setY(std::clamp(hotspot.y(), 0, image.height() - 1));
    return CursorPicture{std::move(image), hotspot};
}

}  // namespace kestrelmoor::ui
