// The HTML label's text preparation and mark-up: PrepareCaptionText,
// FindFirstTag and ApplyTag over the whole prepared text, then a measuring
// pass of the drawing (DT_CALCRECT) and, for some inputs, a painting pass
// into an offscreen image with the mouse over each link.
#include "fuzz/FuzzSupport.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>

#include "complib/bHTMLLabel.h"
#include "platform/TextDraw.h"

namespace {

// The length of each of the 16 tags, by its number.
constexpr std::array<int, 17> TagLength = {0, 3, 4, 3, 4, 3, 4, 5, 6, 7, 8, 2, 4, 7, 8, 5, 8};

std::string Utf8(const QString& s) {
    return Shown(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                     static_cast<std::size_t>(s.size())));
}

// What the drawing relies on in a prepared text.
void CheckPrepared(const QString& S) {
    FUZZ_CHECK(!S.contains(u'\n'), Utf8(S));
    FUZZ_CHECK(!S.startsWith(u'\r'), Utf8(S));
    FUZZ_CHECK(!S.contains(QStringLiteral("\r\r")), Utf8(S));
    FUZZ_CHECK(!S.contains(QStringLiteral("<BR>"), Qt::CaseInsensitive), Utf8(S));
}

// Walks through the text tag by tag as the drawing does: FindFirstTag finds
// the earliest tag, nothing before it is one, and ApplyTag takes exactly that
// tag (with its argument up to ">" for links and colours) off the front. The
// rest of the text is looked at in place and only the tag is copied, so that
// a long text is walked in about its length.
void CheckTags(TbHTMLLabel& label, const QString& Text, bool MeasureOnly) {
    qsizetype at = 0; // where the rest begins
    while (true) {
        const QString T = QString::fromRawData(Text.constData() + at, Text.size() - at);
        const int p = label.FindFirstTag(T);
        FUZZ_CHECK(p >= 0 && p <= T.size(), Utf8(T.left(100)));
        const qsizetype end = p == 0 ? T.size() : p - 1;
        for (qsizetype q = T.indexOf(u'<'); q >= 0 && q < end; q = T.indexOf(u'<', q + 1)) {
            QString head = T.mid(q, 16); // longer than any tag's name
            const QString before = head;
            FUZZ_CHECK(label.ApplyTag(head, MeasureOnly) == 0 && head == before,
                       "a tag before the first one: " + Utf8(T.mid(q, 40)));
        }
        if (p == 0) return;
        // The tag, its argument up to the first ">" and one character more,
        // so that taking too much would show.
        const qsizetype close = T.indexOf(u'>', p - 1);
        const QString before = T.mid(p - 1, close < 0 ? -1 : close - (p - 1) + 2);
        QString rest = before;
        const int k = label.ApplyTag(rest, MeasureOnly);
        FUZZ_CHECK(k >= 1 && k <= 16,
                   "no tag where FindFirstTag saw one: " + Utf8(before.left(40)));
        const qsizetype removed = before.size() - rest.size();
        qsizetype expected = TagLength[static_cast<std::size_t>(k)];
        if ((k == TbHTMLLabel::tagA || k == TbHTMLLabel::tagColor) && close >= 0)
            expected = close - (p - 1) + 1;
        FUZZ_CHECK(removed == expected && QStringView(before).mid(removed) == rest,
                   "tag " + std::to_string(k) + " took " + std::to_string(removed) +
                       " characters of " + Utf8(before.left(40)));
        at += p - 1 + removed;
    }
}

// The height of one line at the largest size <BIG> reaches.
int TallestLine(const TbHTMLLabel& label) {
    QFont f = label.font();
    f.setPointSize(400);
    return TextHeight(f, &label) + 1;
}

} // namespace

FUZZ_TARGET(label) {
    TFuzzInput in(Data, Size);
    const unsigned flags = in.Byte();
    const bool wordWrap = in.Bit(flags, 0);
    const bool paint = in.Bit(flags, 5);
    const bool asLines = in.Bit(flags, 6);
    const int width = 8 + in.Byte();
    const int innerSpace = in.Pick(8);
    const int tabGrid = in.Byte();
    const int align = in.Pick(3);
    const unsigned look = in.Byte();
    const QString source = QString::fromUtf8(in.Rest());

    TbHTMLLabel label;
    label.SetAutoSize(false);
    label.resize(width, 20);
    if (look % 3 == 1) {
        QFont f = label.font();
        f.setPointSize(12);
        f.setBold(true);
        label.setFont(f);
    } else if (look % 3 == 2) {
        QFont f = label.font();
        f.setPixelSize(15);
        label.setFont(f);
    }
    label.SetWordWrap(wordWrap);
    label.SetCaptionSkipEnter(in.Bit(flags, 1));
    label.SetShowText3D(in.Bit(flags, 2));
    label.setEnabled(!in.Bit(flags, 3));
    label.SetDesigning(in.Bit(flags, 7));
    label.SetInnerSpace(innerSpace);
    label.SetTabGridWidth(tabGrid);
    label.SetAlignment(align == 0 ? Qt::AlignLeft : align == 1 ? Qt::AlignRight : Qt::AlignHCenter);
    if (in.Bit(look, 2)) label.SetAnchorColor(0x0000FF);
    // A parameter's value may hold tags and parameter marks of its own.
    label.OnGetParameter = [](QObject*, QString& p) { p = (p + p).left(256); };
    if (asLines)
        label.SetCaptionStrings(source.split(u'\n'));
    else
        label.SetCaption(source);
    label.SetAutoSize(in.Bit(flags, 4));
    label.Loaded();

    const QString S = label.PrepareCaptionText();
    CheckPrepared(S);
    label.SetColorsOn(in.Bit(look, 3));
    CheckTags(label, S, !in.Bit(look, 4));
    label.ClearAnchors();

    // Measuring, the way the label sizes itself. The first call may switch
    // word wrap off for good (<NOWORDWRAP>); from then on every measurement
    // gives the same.
    const auto measure = [&] {
        return DT_EXPANDTABS | DT_CALCRECT | (label.WordWrap() ? DT_WORDBREAK : 0u);
    };
    const bool wrapped = label.WordWrap();
    const TRect start{0, 0, label.width(), label.height()};
    TRect first = start;
    label.DrawCaptionText(first, measure());
    if (label.WordWrap() != wrapped) {
        first = start;
        label.DrawCaptionText(first, measure());
    }
    TRect second = start;
    label.DrawCaptionText(second, measure());
    FUZZ_CHECK(first == second, Utf8(S.left(100)) + ": " + std::to_string(first.Right) + " x " +
                                    std::to_string(first.Bottom) + ", then " +
                                    std::to_string(second.Right) + " x " +
                                    std::to_string(second.Bottom));
    FUZZ_CHECK(label.AnchorList().empty(), "a measurement recorded links");
    const QString prepared = label.PrepareCaptionText();
    if (prepared.isEmpty()) {
        FUZZ_CHECK(second == start, "an empty text was measured");
    } else {
        const int inner = label.InnerSpace();
        // Mark-up with word wrap keeps the width; otherwise the text and the
        // margins need room.
        const bool markup = label.ShowText3D() || label.FindFirstTag(prepared) != 0;
        FUZZ_CHECK(second.Left == 0 && second.Top == 0 &&
                       (markup && label.WordWrap() ? second.Right == start.Right
                                                   : second.Right >= 2 * inner) &&
                       second.Bottom >= 2 * inner,
                   Utf8(prepared.left(100)) + ": " + std::to_string(second.Right) + " x " +
                       std::to_string(second.Bottom) + ", inner space " + std::to_string(inner));
        const qint64 most = qint64(prepared.size() + 1) * TallestLine(label) + 2 * inner + 2;
        FUZZ_CHECK(second.Bottom <= most, std::to_string(second.Bottom) + " pixels high for " +
                                              std::to_string(prepared.size()) + " characters");
    }

    if (!paint) return;
    QImage image(std::clamp(label.width(), 1, 400), std::clamp(label.height(), 1, 200),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TRect r{0, 0, label.width(), label.height()};
        const unsigned alignFlag = align == 1 ? DT_RIGHT : align == 2 ? DT_CENTER : DT_LEFT;
        label.DrawCaptionText(r, DT_EXPANDTABS | (label.WordWrap() ? DT_WORDBREAK : 0u) | alignFlag,
                              &painter);
    }
    const auto& anchors = label.AnchorList();
    const int count = static_cast<int>(anchors.size());
    for (int i = 0; i < count && i < 8; ++i) {
        const TRect b = anchors[static_cast<std::size_t>(i)]->Bounds;
        FUZZ_CHECK(b.Right >= b.Left && b.Bottom >= b.Top, "link " + std::to_string(i));
        label.MouseMove(Qt::NoModifier, (b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
        const int hover = label.HoverIndex();
        FUZZ_CHECK(hover >= -1 && hover < count, std::to_string(hover));
        if (b.Right - b.Left >= 3 && b.Bottom - b.Top >= 3)
            FUZZ_CHECK(hover >= 0 && hover <= i,
                       "link " + std::to_string(i) + " not under the mouse");
    }
    label.MouseLeave();
    FUZZ_CHECK(label.HoverIndex() == -1, "the mouse left");
}
