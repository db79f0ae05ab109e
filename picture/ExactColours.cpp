#include <algorithm>
#include <array>
#include <cstring>

#include "picture/IndexedPicture.h"

namespace {

bool IsOpaque(TPixel c) {
    return (c >> 24) == 0xFF;
}

bool IsOpaqueGrey(TPixel c) {
    const std::uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return IsOpaque(c) && r == g && g == b;
}

// Without a branch a pixel, so the compiler can take several at once.
bool AllOpaqueGrey(const TPixel* line, int w) {
    std::uint32_t other = 0;
    for (int x = 0; x < w; ++x) {
        const TPixel c = line[x];
        other |= (c >> 24 ^ 0xFF) | ((c >> 16 ^ c) & 0xFF) | ((c >> 8 ^ c) & 0xFF);
    }
    return other == 0;
}

bool RowsEqual(const TBitmap& picture, int y) {
    return y > 0 && std::memcmp(picture.Row(y), picture.Row(y - 1),
                                std::size_t(picture.Width()) * sizeof(TPixel)) == 0;
}

// Up to 256 colours by first appearance. Opaque greys, all a barcode has, are
// found by their level; other colours in a small open-addressed table.
class TColourIndex {
public:
    // The colour's index, a new one when it is new; -1 once a 257th colour is met.
    int IndexOf(TPixel c) {
        if (IsOpaqueGrey(c)) {
            std::int16_t& slot = greyIndex[c & 0xFF];
            if (slot < 0) slot = std::int16_t(Add(c));
            return slot;
        }
        std::size_t h = (c * 0x9E3779B1u) >> (32 - HashBits);
        while (true) {
            Entry& e = table[h];
            if (!e.used) {
                const int index = Add(c);
                if (index < 0) return -1;
                e = {c, std::int16_t(index), true};
                return index;
            }
            if (e.colour == c) return e.index;
            h = (h + 1) & (table.size() - 1);
        }
    }
    // Any row: false once a 257th colour is met, with opaque still told for
    // the rest of the row.
    bool IndexRow(const TPixel* line, int w, std::uint8_t* bytes, bool& opaque) {
        TPixel last = 0;
        int lastIndex = -1;
        for (int x = 0; x < w; ++x) {
            const TPixel c = line[x];
            if (c != last || lastIndex < 0) { // bars are long runs of one colour
                last = c;
                lastIndex = IndexOf(c);
                opaque = opaque && IsOpaque(c);
                if (lastIndex < 0) {
                    for (; x < w && opaque; ++x)
                        opaque = IsOpaque(line[x]);
                    return false;
                }
            }
            bytes[x] = std::uint8_t(lastIndex);
        }
        return true;
    }
    std::vector<TPixel> palette;

private:
    // 512 slots for at most 256 colours, 8 bytes each: cleared for every picture.
    static constexpr int HashBits = 9;
    struct Entry {
        TPixel colour = 0;
        std::int16_t index = 0;
        bool used = false;
    };
    std::array<std::int16_t, 256> greyIndex = [] {
        std::array<std::int16_t, 256> a;
        a.fill(-1);
        return a;
    }();
    std::array<Entry, std::size_t(1) << HashBits> table{};

    int Add(TPixel c) {
        if (palette.size() == 256) return -1;
        palette.push_back(c);
        return int(palette.size() - 1);
    }
};

// Mono's second colour where the picture has one only.
TPixel OtherThan(TPixel c) {
    return c != PixelBlack ? PixelBlack : PixelWhite;
}

// Every row opaque grey, as a barcode's are: the bytes are the levels, and
// two levels at most make Mono's indices, in the order they first come.
void IndexGreyPicture(const TBitmap& picture, TIndexedPicture& out) {
    const int w = out.Width, h = out.Height;
    std::array<bool, 256> present{};
    for (int y = 0; y < h; ++y) {
        if (out.SameAsAbove(y)) continue;
        const TPixel* line = picture.Row(y);
        std::uint8_t* bytes = out.Indices.get() + out.RowStart[y];
        for (int x = 0; x < w; ++x)
            bytes[x] = std::uint8_t(line[x]);
        for (int x = 0; x < w; ++x)
            present[bytes[x]] = true;
    }
    TExactColours& colours = out.Colours;
    for (std::uint32_t level = 0; level < 256; ++level)
        if (present[level]) colours.Palette.push_back(PixelBlack | level * 0x010101u);
    if (colours.Palette.size() > 2) {
        colours.Depth = TPixelDepth::Grey8;
        return;
    }
    colours.Depth = TPixelDepth::Mono;
    if (colours.Palette.empty()) colours.Palette.push_back(PixelBlack);
    const TPixel first = w > 0 && h > 0 ? picture.Row(0)[0] : colours.Palette[0];
    const TPixel second =
        colours.Palette.size() == 2
            ? (colours.Palette[0] == first ? colours.Palette[1] : colours.Palette[0])
            : OtherThan(first);
    colours.Palette = {first, second};
    const std::uint8_t firstLevel = std::uint8_t(first);
    for (int y = 0; y < h; ++y) {
        if (out.SameAsAbove(y)) continue;
        std::uint8_t* bytes = out.Indices.get() + out.RowStart[y];
        for (int x = 0; x < w; ++x)
            bytes[x] = bytes[x] != firstLevel;
    }
}

// Any colours: indices by first appearance, up to 256 of them.
void IndexColourPicture(const TBitmap& picture, TIndexedPicture& out) {
    const int w = out.Width, h = out.Height;
    TColourIndex index;
    bool overflow = false, opaque = true;
    for (int y = 0; y < h; ++y) {
        if (out.SameAsAbove(y)) continue;
        const TPixel* line = picture.Row(y);
        if (overflow) { // only whether it is opaque is still open
            for (int x = 0; x < w && opaque; ++x)
                opaque = IsOpaque(line[x]);
            continue;
        }
        overflow = !index.IndexRow(line, w, out.Indices.get() + out.RowStart[y], opaque);
    }
    TExactColours& colours = out.Colours;
    colours.Opaque = opaque;
    if (overflow) {
        colours.Depth = opaque ? TPixelDepth::Rgb24 : TPixelDepth::Rgba32;
        out.Indices.reset();
        return;
    }
    colours.Palette = std::move(index.palette);
    colours.Depth = colours.Palette.size() <= 2 ? TPixelDepth::Mono : TPixelDepth::Palette8;
    if (colours.Palette.size() == 1) colours.Palette.push_back(OtherThan(colours.Palette[0]));
}

} // namespace

TIndexedPicture IndexPicture(const TBitmap& picture) {
    TIndexedPicture out;
    const int w = out.Width = picture.Width(), h = out.Height = picture.Height();
    // The distinct rows first, so their bytes take one allocation that
    // nothing clears: every byte of it is written below.
    out.RowStart.resize(std::size_t(h));
    std::size_t distinct = 0;
    for (int y = 0; y < h; ++y)
        out.RowStart[y] = RowsEqual(picture, y) ? out.RowStart[y - 1] : distinct++ * std::size_t(w);
    out.Indices.reset(new std::uint8_t[distinct * std::size_t(w)]);
    bool grey = true;
    for (int y = 0; y < h && grey; ++y)
        grey = out.SameAsAbove(y) || AllOpaqueGrey(picture.Row(y), w);
    if (grey)
        IndexGreyPicture(picture, out);
    else
        IndexColourPicture(picture, out);
    return out;
}

TExactColours SmallestExactColours(const TBitmap& picture) {
    return IndexPicture(picture).Colours;
}

TBitmap OnWhite(const TBitmap& picture) {
    const int w = picture.Width(), h = picture.Height();
    bool opaque = true;
    for (int y = 0; y < h && opaque; ++y)
        opaque = std::all_of(picture.Row(y), picture.Row(y) + w, IsOpaque);
    if (opaque) return picture;
    TBitmap white(w, h);
    for (int y = 0; y < h; ++y) {
        const TPixel* from = picture.Row(y);
        TPixel* to = white.Row(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t a = from[x] >> 24;
            const auto blend = [&](int shift) {
                const std::uint32_t c = (from[x] >> shift) & 0xFF;
                return ((c * a + 255 * (255 - a) + 127) / 255) << shift;
            };
            to[x] = PixelBlack | blend(16) | blend(8) | blend(0);
        }
    }
    return white;
}
