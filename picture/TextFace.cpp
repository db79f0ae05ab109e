#include "picture/TextFace.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include <hb.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <unordered_map>

namespace {

// Outlines at the pixel size without hinting, never a bitmap strike: Tahoma
// carries strikes for 8 to 16 pixels, which a plain load would take and which
// the pictures never showed.
constexpr FT_Int32 LoadFlags =
    FT_LOAD_DEFAULT | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

// Up to this pixel size glyphs are drawn from images kept per quarter-pixel
// position, as the pictures always had them; larger ones at their exact place.
constexpr int CachedPixels = 64;
// The glyph images a thread keeps for one style before it starts afresh.
constexpr std::size_t MaxImageBytes = std::size_t(8) << 20;
constexpr std::int32_t Unknown = INT32_MIN;
// A tab runs to the next multiple of this, in 1/64 pixel.
constexpr std::int64_t TabStop26 = 80 * 64;

enum TStyle { Regular, Bold };

// ---------------------------------------------------------------------------
// The font files, mapped once for the process and shared by every thread.

struct TFontFile {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    bool substitute = false; // not Tahoma
};

constexpr const char* TahomaFiles[2] = {"/usr/share/wine/fonts/tahoma.ttf",
                                        "/usr/share/wine/fonts/tahomabd.ttf"};
constexpr const char* SubstituteFiles[2] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                            "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};

bool Map(const char* path, TFontFile& file) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    void* p = MAP_FAILED;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 12)
        p = mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (p == MAP_FAILED) return false;
    file.data = static_cast<const unsigned char*>(p);
    file.size = std::size_t(st.st_size);
    return true;
}

// The mappings stay for the life of the process: a thread still drawing while
// the process ends must not lose its font.
struct TFontFiles {
    TFontFile style[2];
    TFontFiles() {
        for (int s : {Regular, Bold})
            if (!Map(TahomaFiles[s], style[s]) && Map(SubstituteFiles[s], style[s]))
                style[s].substitute = true;
    }
};

const TFontFile& FontFile(int style) {
    static const TFontFiles files;
    return files.style[style];
}

// ---------------------------------------------------------------------------
// HarfBuzz, loaded when the first text needs shaping. Most codes are digits,
// which Tahoma never kerns: a program that draws only those is spared loading
// HarfBuzz and the libraries it brings along (glib, graphite2, pcre2), which
// at every start cost about as much as drawing the first picture.

#define BARCODEGEN_HB_FUNCTIONS(X)                                                                 \
    X(hb_blob_create)                                                                              \
    X(hb_blob_destroy)                                                                             \
    X(hb_face_create)                                                                              \
    X(hb_face_destroy)                                                                             \
    X(hb_font_create)                                                                              \
    X(hb_font_create_sub_font)                                                                     \
    X(hb_font_destroy)                                                                             \
    X(hb_font_set_scale)                                                                           \
    X(hb_font_set_ppem)                                                                            \
    X(hb_font_set_funcs)                                                                           \
    X(hb_font_funcs_create)                                                                        \
    X(hb_font_funcs_set_nominal_glyph_func)                                                        \
    X(hb_font_funcs_set_variation_glyph_func)                                                      \
    X(hb_font_funcs_set_glyph_h_advance_func)                                                      \
    X(hb_font_funcs_make_immutable)                                                                \
    X(hb_buffer_create)                                                                            \
    X(hb_buffer_destroy)                                                                           \
    X(hb_buffer_clear_contents)                                                                    \
    X(hb_buffer_add_utf16)                                                                         \
    X(hb_buffer_set_direction)                                                                     \
    X(hb_buffer_guess_segment_properties)                                                          \
    X(hb_shape)                                                                                    \
    X(hb_buffer_get_glyph_infos)                                                                   \
    X(hb_buffer_get_glyph_positions)

struct THarfBuzz {
// NOLINTNEXTLINE(bugprone-macro-parentheses): f is a name, not an expression
#define BARCODEGEN_HB_POINTER(f) decltype(&::f) f = nullptr;
    BARCODEGEN_HB_FUNCTIONS(BARCODEGEN_HB_POINTER)
#undef BARCODEGEN_HB_POINTER
    hb_font_funcs_t* funcs = nullptr; // the font's glyphs and advances, as FreeType gives them
};

hb_bool_t NominalGlyph(hb_font_t*, void* size, hb_codepoint_t u, hb_codepoint_t* glyph, void*);
hb_bool_t VariationGlyph(hb_font_t*, void* size, hb_codepoint_t u, hb_codepoint_t,
                         hb_codepoint_t* glyph, void*);
hb_position_t GlyphAdvance(hb_font_t*, void* size, hb_codepoint_t glyph, void*);

// Null when the library cannot be had: texts are then laid out unkerned, exact
// still for the characters that need no shaping.
const THarfBuzz* HarfBuzz() {
    static const THarfBuzz* const loaded = []() -> const THarfBuzz* {
        void* lib = dlopen("libharfbuzz.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!lib) return nullptr;
        static THarfBuzz hb; // the library stays loaded for the process
        bool complete = true;
#define BARCODEGEN_HB_LOOKUP(f)                                                                    \
    hb.f = reinterpret_cast<decltype(hb.f)>(dlsym(lib, #f));                                       \
    complete = complete && hb.f != nullptr;
        BARCODEGEN_HB_FUNCTIONS(BARCODEGEN_HB_LOOKUP)
#undef BARCODEGEN_HB_LOOKUP
        if (!complete) return nullptr;
        hb.funcs = hb.hb_font_funcs_create();
        hb.hb_font_funcs_set_nominal_glyph_func(hb.funcs, NominalGlyph, nullptr, nullptr);
        hb.hb_font_funcs_set_variation_glyph_func(hb.funcs, VariationGlyph, nullptr, nullptr);
        hb.hb_font_funcs_set_glyph_h_advance_func(hb.funcs, GlyphAdvance, nullptr, nullptr);
        hb.hb_font_funcs_make_immutable(hb.funcs);
        return &hb;
    }();
    return loaded;
}

// ---------------------------------------------------------------------------
// Characters no pair of which Tahoma (regular or bold) kerns or joins into a
// ligature: a text of these alone is laid out glyph after glyph, exactly as
// shaping would, without shaping. Digits, the blank before an add-on, GS1's
// brackets and most of Codabar's and Code 39's characters are among them.
constexpr std::u16string_view PlainCharacters =
    u" !\"#$%&()*+/0123456789:;<=>?@ABDEHIKMNR[\\]^_`bkqx{|}~";

constexpr std::array<bool, 128> PlainTable = [] {
    std::array<bool, 128> t{};
    for (char16_t c : PlainCharacters)
        t[c] = true;
    return t;
}();

bool AllPlain(std::u16string_view text) {
    for (char16_t c : text)
        if (c >= 128 || !PlainTable[c]) return false;
    return true;
}

// Line breaks take no room and draw nothing; a soft hyphen is hidden.
bool Hidden(char32_t c) {
    return c == 0x0A || c == 0x0C || c == 0x0D || c == 0xAD;
}

// ---------------------------------------------------------------------------
// One style's face for one thread: FreeType faces are not to be shared.

struct TPlaced {
    unsigned glyph = 0;
    std::int64_t x26 = 0; // the glyph's origin from the text's start, 1/64 pixel
    std::int64_t y26 = 0; // downwards
    std::int64_t adv26 = 0;
    bool drawn = true;
};

struct TGlyphImage {
    int left = 0, top = 0, width = 0, rows = 0; // top: rows above the baseline
    std::vector<std::uint8_t> coverage;
};

class TThreadFace;

struct TSize {
    TThreadFace* owner = nullptr;
    int px = 0;
    FT_Size size = nullptr;
    TTextLine line;
    std::vector<std::int32_t> advance; // by glyph, 1/64 pixel; Unknown until asked
    // by glyph * 128 + the shift in 1/64 pixel (0..64), up to CachedPixels
    std::unordered_map<std::uint32_t, TGlyphImage> images;
    hb_font_t* parent = nullptr;
    hb_font_t* font = nullptr;
};

class TThreadFace {
public:
    explicit TThreadFace(int style);
    ~TThreadFace();
    TThreadFace(const TThreadFace&) = delete;
    TThreadFace& operator=(const TThreadFace&) = delete;

    bool Ok() const { return face != nullptr; }
    TSize& At(int px);
    unsigned GlyphOf(char32_t c) const { return c < 128 ? asciiGlyph[c] : CharIndex(c); }
    std::int32_t Advance(TSize& s, unsigned glyph);
    // Glyph positions as a line lays the text out; tabs run to their stops.
    const std::vector<TPlaced>& Layout(TSize& s, std::u16string_view text,
                                       TShaping shaping = TShaping::WhereNeeded);
    std::int64_t Advance26(TSize& s, std::u16string_view text,
                           TShaping shaping = TShaping::WhereNeeded);
    const TGlyphImage& Image(TSize& s, unsigned glyph, int shift26);
    // Draws glyph with its origin at x26 (1/64 pixel) on the baseline row,
    // straight from its outline, clipped to the bitmap.
    void RenderAt(TSize& s, unsigned glyph, std::int64_t x26, int baseline, TBitmap& bitmap,
                  TPixel ink);
    // Appends glyph's design outline with its origin at (x, y) pixels, scaled to px.
    void AppendOutline(unsigned glyph, double x, double y, int px, TCurves curves, TPath& path);

private:
    const TFontFile& file;
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    int upem = 2048;
    int winAscent = 0, winDescent = 0;
    unsigned spaceGlyph = 0;
    std::array<unsigned, 128> asciiGlyph{};
    std::vector<std::unique_ptr<TSize>> sizes; // by pixel size
    std::size_t imageBytes = 0;
    std::vector<TPlaced> placed; // Layout's result, kept for its memory
    hb_blob_t* hbBlob = nullptr;
    hb_face_t* hbFace = nullptr;
    hb_buffer_t* hbBuffer = nullptr;

    unsigned CharIndex(char32_t c) const;
    void PlainRun(TSize& s, std::u16string_view text);
    bool ShapedRun(TSize& s, std::u16string_view text);
};

TThreadFace::TThreadFace(int style) : file(FontFile(style)) {
    if (!file.data || FT_Init_FreeType(&lib) != 0) return;
    if (FT_New_Memory_Face(lib, file.data, FT_Long(file.size), 0, &face) != 0) {
        face = nullptr;
        return;
    }
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 || !FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        face = nullptr;
        return;
    }
    upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    // The Windows ascent and descent: the line Windows gives Tahoma (11 + 2
    // pixels at 8 points), taller than the typographic one, so that the
    // carons of capitals are not cut off.
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    } else {
        winAscent = face->ascender;
        winDescent = -face->descender;
    }
    spaceGlyph = FT_Get_Char_Index(face, 0x20);
    for (char32_t c = 0; c < 128; ++c)
        asciiGlyph[c] = CharIndex(c);
}

TThreadFace::~TThreadFace() {
    if (const THarfBuzz* hb = hbFace ? HarfBuzz() : nullptr) {
        for (const auto& s : sizes)
            if (s && s->font) {
                hb->hb_font_destroy(s->font);
                hb->hb_font_destroy(s->parent);
            }
        if (hbBuffer) hb->hb_buffer_destroy(hbBuffer);
        hb->hb_face_destroy(hbFace);
        hb->hb_blob_destroy(hbBlob);
    }
    if (face) FT_Done_Face(face); // and its sizes
    if (lib) FT_Done_FreeType(lib);
}

unsigned TThreadFace::CharIndex(char32_t c) const {
    unsigned g = FT_Get_Char_Index(face, c);
    // A tab and a no-break space the font lacks are drawn as its blank.
    if (g == 0 && (c == 0x09 || c == 0xA0)) g = spaceGlyph;
    return g;
}

TSize& TThreadFace::At(int px) {
    if (std::size_t(px) >= sizes.size()) sizes.resize(std::size_t(px) + 1);
    std::unique_ptr<TSize>& slot = sizes[std::size_t(px)];
    if (slot) return *slot;
    slot = std::make_unique<TSize>();
    TSize& s = *slot;
    s.owner = this;
    s.px = px;
    s.advance.assign(std::size_t(face->num_glyphs), Unknown);
    if (FT_New_Size(face, &s.size) == 0) {
        FT_Activate_Size(s.size);
        // At 72 dpi one point is one pixel: the size in pixels exactly.
        FT_Set_Char_Size(face, FT_F26Dot6(px) * 64, FT_F26Dot6(px) * 64, 72, 72);
    } else {
        s.size = nullptr;
    }
    // The font's line scaled to 1/64 pixel (halves up), then each part rounded
    // to a whole pixel on its own.
    const std::int64_t ascent26 = (std::int64_t(winAscent) * px * 64 + upem / 2) / upem;
    const std::int64_t descent26 = (std::int64_t(winDescent) * px * 64 + upem / 2) / upem;
    s.line.Ascent = int((ascent26 + 32) >> 6);
    s.line.Descent = int((descent26 + 32) >> 6);
    return s;
}

std::int32_t TThreadFace::Advance(TSize& s, unsigned glyph) {
    if (glyph >= s.advance.size() || !s.size) return 0;
    std::int32_t& a = s.advance[glyph];
    if (a == Unknown) {
        // The unhinted advance, 16.16 pixels cut (not rounded) to 1/64 pixel.
        FT_Fixed linear = 0;
        FT_Activate_Size(s.size);
        a = FT_Get_Advance(face, glyph, LoadFlags, &linear) == 0 ? std::int32_t(linear >> 10) : 0;
    }
    return a;
}

void TThreadFace::PlainRun(TSize& s, std::u16string_view text) {
    std::int64_t x = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        const unsigned g = GlyphOf(c);
        if (Hidden(c)) {
            placed.push_back({g, x, 0, 0, false});
            continue;
        }
        const std::int32_t a = Advance(s, g);
        placed.push_back({g, x, 0, a, true});
        x += a;
    }
}

bool TThreadFace::ShapedRun(TSize& s, std::u16string_view text) {
    const THarfBuzz* hb = HarfBuzz();
    if (!hb || text.size() > std::size_t(INT_MAX)) return false;
    if (!hbFace) {
        hbBlob = hb->hb_blob_create(reinterpret_cast<const char*>(file.data), unsigned(file.size),
                                    HB_MEMORY_MODE_READONLY, nullptr, nullptr);
        hbFace = hb->hb_face_create(hbBlob, 0);
        hbBuffer = hb->hb_buffer_create();
    }
    if (!s.font) {
        // The font's own tables for everything but the glyphs and advances,
        // which come from FreeType as above, so shaped and plain texts agree.
        s.parent = hb->hb_font_create(hbFace);
        hb->hb_font_set_scale(s.parent, s.px * 64, -s.px * 64);
        hb->hb_font_set_ppem(s.parent, unsigned(s.px), unsigned(s.px));
        s.font = hb->hb_font_create_sub_font(s.parent);
        hb->hb_font_set_funcs(s.font, hb->funcs, &s, nullptr);
    }
    hb->hb_buffer_clear_contents(hbBuffer);
    hb->hb_buffer_add_utf16(hbBuffer, reinterpret_cast<const std::uint16_t*>(text.data()),
                            int(text.size()), 0, int(text.size()));
    hb->hb_buffer_set_direction(hbBuffer, HB_DIRECTION_LTR);
    hb->hb_buffer_guess_segment_properties(hbBuffer);
    hb->hb_shape(s.font, hbBuffer, nullptr, 0);
    unsigned n = 0;
    const hb_glyph_info_t* info = hb->hb_buffer_get_glyph_infos(hbBuffer, &n);
    const hb_glyph_position_t* pos = hb->hb_buffer_get_glyph_positions(hbBuffer, &n);
    std::int64_t x = 0;
    for (unsigned i = 0; i < n; ++i) {
        const char16_t c = info[i].cluster < text.size() ? text[info[i].cluster] : u' ';
        if (Hidden(c)) {
            placed.push_back({info[i].codepoint, x, 0, 0, false});
            continue;
        }
        placed.push_back(
            {info[i].codepoint, x + pos[i].x_offset, pos[i].y_offset, pos[i].x_advance, true});
        x += pos[i].x_advance;
    }
    return true;
}

const std::vector<TPlaced>& TThreadFace::Layout(TSize& s, std::u16string_view text,
                                                TShaping shaping) {
    placed.clear();
    std::int64_t pen = 0;
    for (;;) {
        const std::size_t tab = text.find(u'\t');
        const std::u16string_view run = text.substr(0, tab);
        const std::size_t first = placed.size();
        const bool plain =
            shaping == TShaping::Never || (shaping == TShaping::WhereNeeded && AllPlain(run));
        if (plain || !ShapedRun(s, run)) PlainRun(s, run);
        const std::int64_t start = pen;
        for (std::size_t i = first; i < placed.size(); ++i) {
            placed[i].x26 += start;
            pen += placed[i].adv26;
        }
        if (tab == std::u16string_view::npos) break;
        // The stop after the pen; pen / stop is rounded to 1/64 before it is
        // cut, so a pen less than 1/128 of a stop short of one counts as there.
        const std::int64_t ratio26 = ((pen << 6) + TabStop26 / 2) / TabStop26;
        const std::int64_t next = ((ratio26 >> 6) + 1) * TabStop26;
        placed.push_back({GlyphOf(0x09), pen, 0, next - pen, false});
        pen = next;
        text = text.substr(tab + 1);
    }
    return placed;
}

std::int64_t TThreadFace::Advance26(TSize& s, std::u16string_view text, TShaping shaping) {
    std::int64_t w = 0;
    if (shaping != TShaping::Always && AllPlain(text)) { // the common case, without a layout
        for (char16_t c : text)
            w += Advance(s, asciiGlyph[c]);
        return w;
    }
    for (const TPlaced& p : Layout(s, text, shaping))
        w += p.adv26;
    return w;
}

const TGlyphImage& TThreadFace::Image(TSize& s, unsigned glyph, int shift26) {
    const std::uint32_t key = std::uint32_t(glyph) * 128u + std::uint32_t(shift26);
    if (const auto it = s.images.find(key); it != s.images.end()) return it->second;
    if (imageBytes > MaxImageBytes) {
        for (const auto& other : sizes)
            if (other) other->images.clear();
        imageBytes = 0;
    }
    TGlyphImage image;
    if (s.size) {
        FT_Activate_Size(s.size);
        FT_Vector shift{shift26, 0};
        FT_Set_Transform(face, nullptr, &shift);
        if (FT_Load_Glyph(face, glyph, LoadFlags) == 0 &&
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& b = face->glyph->bitmap;
            image.left = face->glyph->bitmap_left;
            image.top = face->glyph->bitmap_top;
            image.width = int(b.width);
            image.rows = int(b.rows);
            image.coverage.resize(std::size_t(b.width) * b.rows);
            for (unsigned y = 0; y < b.rows; ++y)
                std::copy_n(b.buffer + std::ptrdiff_t(y) * b.pitch, b.width,
                            image.coverage.begin() + std::ptrdiff_t(y) * b.width);
        }
        FT_Set_Transform(face, nullptr, nullptr);
    }
    imageBytes += image.coverage.size() + sizeof(TGlyphImage) + 32;
    return s.images.emplace(key, std::move(image)).first->second;
}

// ---------------------------------------------------------------------------
// Blending, as the pictures always blended text: each channel is ink and
// ground weighted by the coverage, each product divided by 255 on its own.

int Div255(int t) {
    return (t + (t >> 8) + 0x80) >> 8;
}

// Each of the four channels of x times a / 255, two channels a multiplication.
inline TPixel ByteMul(TPixel x, TPixel a) {
    TPixel t = (x & 0xFF00FF) * a;
    t = ((t + ((t >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
    x = ((x >> 8) & 0xFF00FF) * a;
    x = (x + ((x >> 8) & 0xFF00FF) + 0x800080) & 0xFF00FF00;
    return x | t;
}

// Ink over a ground that is not opaque, with straight alpha.
[[gnu::noinline]] TPixel BlendTranslucent(TPixel ink, TPixel ground, int coverage) {
    const int inverse = 255 - coverage;
    const int groundAlpha = int(ground >> 24);
    const int alpha = coverage + Div255(groundAlpha * inverse);
    if (alpha == 0) return ground;
    TPixel out = TPixel(alpha) << 24;
    for (int shift : {0, 8, 16}) {
        const int weighted = int((ink >> shift) & 0xFF) * coverage * 255 +
                             int((ground >> shift) & 0xFF) * groundAlpha * inverse;
        out |= TPixel((weighted + alpha * 255 / 2) / (alpha * 255)) << shift;
    }
    return out;
}

// An opaque ink (as PaintText's always is) at coverage 1..254 over ground.
inline TPixel Blend(TPixel ink, TPixel ground, int coverage) {
    // The two sums never carry into the next channel: neither exceeds 255, and
    // the alphas add up to 255.
    if (ground == PixelWhite)
        return ByteMul(ink, TPixel(coverage)) + TPixel(255 - coverage) * 0x01010101u;
    if (ground >= 0xFF000000)
        return ByteMul(ink, TPixel(coverage)) + ByteMul(ground, TPixel(255 - coverage));
    return BlendTranslucent(ink, ground, coverage);
}

// Blends count pixels from (x, y) rightwards, the i-th at coverage(i), clipped to the bitmap.
template <class Coverage>
void Put(TBitmap& bitmap, std::int64_t x, std::int64_t y, std::int64_t count, TPixel ink,
         Coverage coverage) {
    if (y < 0 || y >= bitmap.Height()) return;
    const std::int64_t from = std::max<std::int64_t>(0, -x);
    const std::int64_t to = std::min<std::int64_t>(count, bitmap.Width() - x);
    TPixel* row = bitmap.Row(int(y));
    for (std::int64_t i = from; i < to; ++i) {
        const int c = coverage(i);
        if (c == 0) continue;
        TPixel& p = row[x + i];
        p = c == 255 ? ink : Blend(ink, p, c);
    }
}

struct TSpanTarget {
    TBitmap* bitmap;
    std::int64_t column; // the bitmap's column of the outline's x = 0
    int baseline;
    TPixel ink;
};

void PutSpans(int y, int count, const FT_Span* spans, void* user) {
    const auto& t = *static_cast<TSpanTarget*>(user);
    for (int i = 0; i < count; ++i) {
        const int c = spans[i].coverage;
        // y counts upwards from the baseline: row y covers y .. y + 1.
        Put(*t.bitmap, t.column + spans[i].x, std::int64_t(t.baseline) - 1 - y, spans[i].len, t.ink,
            [c](std::int64_t) { return c; });
    }
}

void TThreadFace::RenderAt(TSize& s, unsigned glyph, std::int64_t x26, int baseline,
                           TBitmap& bitmap, TPixel ink) {
    if (!s.size) return;
    FT_Activate_Size(s.size);
    if (FT_Load_Glyph(face, glyph, LoadFlags) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return;
    const std::int64_t column = x26 >> 6;
    // A glyph wholly left or right of the bitmap draws nothing (and keeps the
    // raster's coordinates, which are 16-bit, small).
    const std::int64_t reach = std::min<std::int64_t>(std::int64_t(s.px) * 4, 32000);
    if (column > bitmap.Width() + reach || column < -reach) return;
    FT_Outline_Translate(&face->glyph->outline, FT_Pos(x26 & 63), 0);
    TSpanTarget target{&bitmap, column, baseline, ink};
    FT_Raster_Params params{};
    params.source = &face->glyph->outline;
    params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
    params.gray_spans = PutSpans;
    params.user = &target;
    params.clip_box.xMin = FT_Pos(std::max<std::int64_t>(-column, -reach));
    params.clip_box.xMax = FT_Pos(std::min<std::int64_t>(bitmap.Width() - column, reach));
    params.clip_box.yMin =
        FT_Pos(std::max<std::int64_t>(std::int64_t(baseline) - bitmap.Height(), -reach));
    params.clip_box.yMax = FT_Pos(std::min<std::int64_t>(baseline, reach));
    if (params.clip_box.xMin < params.clip_box.xMax && params.clip_box.yMin < params.clip_box.yMax)
        FT_Outline_Render(lib, &face->glyph->outline, &params);
}

// ---------------------------------------------------------------------------
// Outlines.

struct TOutlineTarget {
    TPath* path;
    double x, y, scale; // the origin in pixels; pixels per unit of the decomposed outline
    TCurves curves;
    double curX = 0, curY = 0;
    bool open = false;

    double X(const FT_Vector* v) const { return x + double(v->x) * scale; }
    double Y(const FT_Vector* v) const { return y - double(v->y) * scale; }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto& t = *static_cast<TOutlineTarget*>(user);
    if (t.open) t.path->push_back({TPathCommand::Close});
    TPathCommand c{TPathCommand::Move};
    c.Pts[0] = t.curX = t.X(to);
    c.Pts[1] = t.curY = t.Y(to);
    t.path->push_back(c);
    t.open = true;
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto& t = *static_cast<TOutlineTarget*>(user);
    TPathCommand c{TPathCommand::Line};
    c.Pts[0] = t.curX = t.X(to);
    c.Pts[1] = t.curY = t.Y(to);
    t.path->push_back(c);
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto& t = *static_cast<TOutlineTarget*>(user);
    const double qx = t.X(control), qy = t.Y(control), ex = t.X(to), ey = t.Y(to);
    if (t.curves == TCurves::Quadratic) {
        t.path->push_back({TPathCommand::Quad, {qx, qy, ex, ey}});
    } else { // the same curve as a cubic
        t.path->push_back({TPathCommand::Cubic,
                           {(t.curX + 2 * qx) / 3, (t.curY + 2 * qy) / 3, (ex + 2 * qx) / 3,
                            (ey + 2 * qy) / 3, ex, ey}});
    }
    t.curX = ex, t.curY = ey;
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto& t = *static_cast<TOutlineTarget*>(user);
    t.curX = t.X(to), t.curY = t.Y(to);
    t.path->push_back({TPathCommand::Cubic, {t.X(c1), t.Y(c1), t.X(c2), t.Y(c2), t.curX, t.curY}});
    return 0;
}

void TThreadFace::AppendOutline(unsigned glyph, double x, double y, int px, TCurves curves,
                                TPath& path) {
    // In design units: the shape as drawn, at any size, without hinting.
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return;
    static const FT_Outline_Funcs funcs = {
        MoveTo, LineTo, ConicTo, CubicTo, 1 /* doubled: implied points stay whole */, 0};
    TOutlineTarget target{&path, x, y, double(px) / upem / 2, curves};
    FT_Outline_Decompose(&face->glyph->outline, &funcs, &target);
    if (target.open) path.push_back({TPathCommand::Close});
}

hb_bool_t NominalGlyph(hb_font_t*, void* size, hb_codepoint_t u, hb_codepoint_t* glyph, void*) {
    *glyph = static_cast<TSize*>(size)->owner->GlyphOf(u);
    return *glyph != 0;
}

hb_bool_t VariationGlyph(hb_font_t*, void* size, hb_codepoint_t u, hb_codepoint_t,
                         hb_codepoint_t* glyph, void*) {
    *glyph = static_cast<TSize*>(size)->owner->GlyphOf(u);
    return *glyph != 0;
}

hb_position_t GlyphAdvance(hb_font_t*, void* size, hb_codepoint_t glyph, void*) {
    auto* s = static_cast<TSize*>(size);
    return s->owner->Advance(*s, glyph);
}

// ---------------------------------------------------------------------------

TThreadFace& FaceOf(const TFont& font) {
    thread_local std::unique_ptr<TThreadFace> faces[2];
    const int style = (font.Style & std::uint8_t(TFontStyle::fsBold)) ? Bold : Regular;
    if (!faces[style]) faces[style] = std::make_unique<TThreadFace>(style);
    return *faces[style];
}

int PointsOf(const TFont& font) {
    return std::clamp(font.Size, 1, TextMaxPoints);
}

int Clamped(std::int64_t pixels) {
    return int(std::clamp<std::int64_t>(pixels, INT_MIN, INT_MAX));
}

} // namespace

int TextPixelSize(int points) {
    points = std::clamp(points, 1, TextMaxPoints);
    // points * 96 / 72 to the nearest whole pixel; thirds never tie.
    return (4 * points + 1) / 3;
}

TTextLine MeasureTextLine(const TFont& font) {
    TThreadFace& face = FaceOf(font);
    if (!face.Ok()) return {};
    return face.At(TextPixelSize(PointsOf(font))).line;
}

int MeasureTextWidth(const TFont& font, std::u16string_view text) {
    // The text as far as its first U+009C, which separates the variants of a
    // string of several lengths.
    text = text.substr(0, text.find(u'\x9C'));
    TThreadFace& face = FaceOf(font);
    if (text.empty() || !face.Ok()) return 0;
    TSize& s = face.At(TextPixelSize(PointsOf(font)));
    return Clamped((face.Advance26(s, text) + 32) >> 6);
}

std::int64_t MeasureTextAdvance(const TFont& font, std::u16string_view text, TShaping shaping) {
    TThreadFace& face = FaceOf(font);
    if (text.empty() || !face.Ok()) return 0;
    return face.Advance26(face.At(TextPixelSize(PointsOf(font))), text, shaping);
}

void PaintText(TBitmap& bitmap, const TFont& font, int x, int top, std::u16string_view text) {
    TThreadFace& face = FaceOf(font);
    if (text.empty() || bitmap.IsNull() || !face.Ok()) return;
    TSize& s = face.At(TextPixelSize(PointsOf(font)));
    const TPixel ink = PixelOfColor(font.Color);
    const std::int64_t baseline26 = (std::int64_t(top) + s.line.Ascent) * 64;
    for (const TPlaced& p : face.Layout(s, text)) {
        if (!p.drawn) continue;
        const std::int64_t x26 = std::int64_t(x) * 64 + p.x26;
        const std::int64_t row = (baseline26 + p.y26 + 32) >> 6;
        if (row < INT_MIN / 2 || row > INT_MAX / 2) continue;
        if (s.px > CachedPixels) {
            face.RenderAt(s, p.glyph, x26, int(row), bitmap, ink);
            continue;
        }
        // The fraction of a pixel in quarters, after a 64th is added: 0 to 4 quarters.
        const int fraction = int(x26 & 63);
        const int shift = fraction == 0 ? 0 : (((fraction + 1) * 4) >> 6) * 16;
        const TGlyphImage& g = face.Image(s, p.glyph, shift);
        const std::int64_t left = (x26 >> 6) + g.left;
        for (int r = 0; r < g.rows; ++r) {
            const std::uint8_t* line = g.coverage.data() + std::ptrdiff_t(r) * g.width;
            Put(bitmap, left, row - g.top + r, g.width, ink,
                [line](std::int64_t i) { return int(line[i]); });
        }
    }
}

TPath TextOutline(const TFont& font, double x, double top, std::u16string_view text,
                  TCurves curves) {
    TPath path;
    TThreadFace& face = FaceOf(font);
    if (text.empty() || !face.Ok()) return path;
    TSize& s = face.At(TextPixelSize(PointsOf(font)));
    const double baseline = top + s.line.Ascent;
    for (const TPlaced& p : face.Layout(s, text))
        if (p.drawn)
            face.AppendOutline(p.glyph, x + double(p.x26) / 64.0, baseline + double(p.y26) / 64.0,
                               s.px, curves, path);
    return path;
}

std::string TextFontProblem() {
    std::string problem;
    for (int style : {Regular, Bold}) {
        TFont font;
        font.Style = style == Bold ? std::uint8_t(TFontStyle::fsBold) : 0;
        const TFontFile& file = FontFile(style);
        if (!file.data || !FaceOf(font).Ok()) {
            problem += std::string(problem.empty() ? "" : "; ") + TahomaFiles[style] +
                       " is missing or unreadable and so is " + SubstituteFiles[style] +
                       ": codes are drawn without their text";
        } else if (file.substitute) {
            problem += std::string(problem.empty() ? "" : "; ") + TahomaFiles[style] +
                       " is missing or unreadable: the text is drawn in DejaVu Sans, "
                       "which is wider (Debian's fonts-wine has Tahoma)";
        }
    }
    return problem;
}

int TFaceGlyphs::TextWidth(const TFont& font, const std::u16string& text) {
    return MeasureTextWidth(font, text);
}

int TFaceGlyphs::TextHeight(const TFont& font, const std::u16string&) {
    return MeasureTextLine(font).Height();
}

void TFaceGlyphs::AppendTextOutline(const TFont& font, const std::u16string& text, double x,
                                    double y, TPath& path) {
    const TPath outline = TextOutline(font, x, y, text);
    path.insert(path.end(), outline.begin(), outline.end());
}
