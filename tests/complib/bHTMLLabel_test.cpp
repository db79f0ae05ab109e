// The HTML label: text preparation, tags and links, colours, and the layout
// measured with the font the programs use.
#include "complib/bHTMLLabel.h"
#include "complib/bdlg.h"

#include <QDesktopServices>
#include <QImage>
#include <QPainter>
#include <QUrl>
#include <gtest/gtest.h>

#include "forms/Form.h"
#include "platform/TextDraw.h"

namespace {

// Receives the addresses QDesktopServices would open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened.append(url); }
};

int Width(const TbHTMLLabel& l, const QString& s) {
    return TextWidth(s, l.font(), &l);
}
int LineHeight(const TbHTMLLabel& l) {
    return TextHeight(l.font(), &l);
}

// The drawn part of the link of that name (a link broken at the end of a
// visual line is also recorded, empty, where it was opened).
TRect Drawn(const TbHTMLLabel& l, const QString& name) {
    for (const auto& a : l.AnchorList())
        if (a->LinkName == name && a->Bounds.Right > a->Bounds.Left) return a->Bounds;
    ADD_FAILURE() << "no link " << name.toStdString();
    return {};
}

// Paints the label offscreen, which records its links.
void Paint(TbHTMLLabel& l) {
    (void)l.grab();
}

TEST(HTMLLabel, PreparesItsText) {
    struct Case {
        const char16_t* Caption;
        bool SkipEnter;
        bool Designing;
        const char16_t* Value; // what OnGetParameter returns; nullptr: unassigned
        const char16_t* Prepared;
    } cases[] = {
        {u"Hello <VAR>name</VAR>!", false, false, nullptr, u"Hello !"},
        {u"Hello <var>name</VAR>!", false, true, nullptr, u"Hello [name]!"},
        {u"Hello <VAR>name</VAR>!", false, false, u"<VAR>x</var>", u"Hello x!"},
        // A value that would form a new parameter with the text after it.
        {u"<VAR>a</VAR>R>b</VAR>", false, false, u"<VA", u"<VAR>b</VAR>"},
        {u"line1\r\nline2", false, false, nullptr, u"line1\rline2"},
        {u"line1\r\nline2", true, false, nullptr, u"line1 line2"},
        {u"a<br>\r\nb", true, false, nullptr, u"a\rb"},
        {u"a<BR><BR>b", false, false, nullptr, u"a\r \rb"},
        {u"<BR>x", false, false, nullptr, u" \rx"},
    };
    for (const Case& c : cases) {
        TbHTMLLabel l;
        l.SetCaptionSkipEnter(c.SkipEnter);
        l.SetDesigning(c.Designing);
        if (c.Value) {
            const QString value = QString::fromUtf16(c.Value);
            l.OnGetParameter = [value](QObject*, QString& p) { p = value; };
        }
        l.SetCaption(QString::fromUtf16(c.Caption));
        EXPECT_EQ(l.PrepareCaptionText(), QString::fromUtf16(c.Prepared))
            << QString::fromUtf16(c.Caption).toStdString();
    }

    TbHTMLLabel l;
    l.SetCaption(u"caption"_qs);
    l.CaptionStrings().Assign({u"  "_qs, QString()});
    EXPECT_EQ(l.PrepareCaptionText(), u"caption"_qs) << "blank lines leave the caption";
    l.SetCaptionStrings({u"one"_qs, u"two"_qs});
    EXPECT_EQ(l.Caption(), QString());
    EXPECT_EQ(l.PrepareCaptionText(), u"one\rtwo"_qs);

    l.SetWordWrap(true);
    l.SetCaptionStrings({u"x<nowordwrap>"_qs});
    EXPECT_FALSE(l.WordWrap());
    EXPECT_EQ(l.PrepareCaptionText(), u"x"_qs) << "no <B> once the label no longer wraps";
    l.SetTabGridWidth(0);
    EXPECT_EQ(l.TabGridWidth(), 1);
}

TEST(HTMLLabel, FindsAndAppliesTags) {
    struct Case {
        const char16_t* Text;
        int First; // FindFirstTag
        int Tag;   // ApplyTag on the text from First on
        const char16_t* Rest;
    } cases[] = {
        {u"ab<b>c", 3, TbHTMLLabel::tagB, u"c"},
        {u"</Small>x", 1, TbHTMLLabel::tagSmallEnd, u"x"},
        {u"x<bigger><BIG>", 10, TbHTMLLabel::tagBig, u""},
        {u"<ACRONYM>y", 1, TbHTMLLabel::tagA, u"y"},
        {u"<A no end", 1, TbHTMLLabel::tagA, u" no end"},
        {u"<color=red>t</COLOR>", 1, TbHTMLLabel::tagColor, u"t</COLOR>"},
        {u"<TAB><INDENT>", 1, TbHTMLLabel::tagTab, u"<INDENT>"},
        {u"<\u0131>< B><br>", 0, 0, u""}, // a dotless i is no I
    };
    for (const Case& c : cases) {
        TbHTMLLabel l;
        const QString text = QString::fromUtf16(c.Text);
        EXPECT_EQ(l.FindFirstTag(text), c.First) << text.toStdString();
        if (c.First == 0) continue;
        QString t = text.mid(c.First - 1);
        EXPECT_EQ(l.ApplyTag(t, false), c.Tag) << text.toStdString();
        EXPECT_EQ(t, QString::fromUtf16(c.Rest)) << text.toStdString();
    }

    TbHTMLLabel l;
    const int size = l.font().pointSize();
    QString t = u"<BIG><BIG>x</BIG><B><B></B>"_qs;
    while (l.FindFirstTag(t) == 1)
        l.ApplyTag(t, true);
    EXPECT_EQ(l.CanvasFont().Font.pointSize(), size + 4);
    t.remove(0, 1);
    while (!t.isEmpty())
        l.ApplyTag(t, true);
    EXPECT_EQ(l.CanvasFont().Font.pointSize(), size) << "no nesting: back to the label's size";
    EXPECT_FALSE(l.CanvasFont().Font.bold());
}

TEST(HTMLLabel, RecordsLinksWhenDrawn) {
    TbHTMLLabel l;
    l.SetCaption(u"<a href=http://example.invalid/>Maker</a> <A NAME = x >n</A> <A y>m</a>"_qs);
    EXPECT_TRUE(l.AnchorList().empty()) << "measuring records nothing";
    Paint(l);
    ASSERT_EQ(l.AnchorList().size(), 3u);
    const auto& a = l.AnchorList();
    EXPECT_EQ(a[0]->AttrName, u"HREF"_qs);
    EXPECT_EQ(a[0]->LinkName, u"http://example.invalid/"_qs);
    EXPECT_EQ(a[1]->AttrName, u"NAME"_qs);
    EXPECT_EQ(a[1]->LinkName, u"x"_qs);
    EXPECT_EQ(a[2]->AttrName, QString());
    EXPECT_EQ(a[2]->LinkName, u"y"_qs);
    EXPECT_EQ(a[0]->Bounds, (TRect{1, 0, 1 + Width(l, u"Maker"_qs), LineHeight(l)}));
}

TEST(HTMLLabel, ParsesColours) {
    const QColor label = TbHTMLLabel().FontColor();
    struct Case {
        const char16_t* Tag;
        QColor Expected;
    } cases[] = {
        {u"<COLOR=#FF0000>", QColor(255, 0, 0)},
        {u"<COLOR=red>", QColor(255, 0, 0)},
        {u"<COLOR=Red>", QColor(255, 0, 0)},
        {u"<COLOR=#ZZ>", QColor(0, 0, 0)},
        {u"<COLOR=#>", QColor(0, 0, 0)},
        {u"<COLOR=#0000FF77>", QColor(0, 0, 255)},
        {u"<COLOR=SkyBlue>", QColor(166, 202, 240)},
        {u"<COLOR=blurb>", label},
        {u"<COLOR=btnface>", ColorToQColor(clBtnFace)},
    };
    for (const Case& c : cases) {
        TbHTMLLabel l;
        l.SetColorsOn(true);
        l.CanvasFont().Color = label;
        QString t = QString::fromUtf16(c.Tag);
        l.ApplyTag(t, false);
        EXPECT_EQ(l.CanvasFont().Color, c.Expected) << QString::fromUtf16(c.Tag).toStdString();
    }
    TbHTMLLabel l;
    QString t = u"<COLOR=red>"_qs;
    l.CanvasFont().Color = label;
    l.ApplyTag(t, false);
    EXPECT_EQ(l.CanvasFont().Color, label) << "colours stay off in the shadow pass";
}

// Every word a link, so that the links' rectangles tell where the words went.
TEST(HTMLLabel, WrapsWordsAndKeepsTabStops) {
    TbHTMLLabel l;
    const int h = LineHeight(l);
    // "one two" fits, "three" does not.
    l.resize(Width(l, u"one two"_qs) + 6, 100);
    l.SetWordWrap(true);
    l.SetCaption(u"<A 1>one</A> <A 2>two</A> <A 3>three</A>"_qs);
    Paint(l);
    EXPECT_EQ(Drawn(l, u"2"_qs).Top, 0);
    EXPECT_EQ(Drawn(l, u"3"_qs).Left, 1) << "no line starts with a blank";
    EXPECT_EQ(Drawn(l, u"3"_qs).Top, h);
    EXPECT_EQ(l.height(), 2 * h + 2);

    // A word wider than the line is cut before the first character that no
    // longer fits; the rest goes on in the next line.
    l.resize(Width(l, u"abc"_qs) + 2, 100);
    l.SetCaption(u"<A w>abcdefgh</A>"_qs);
    Paint(l);
    ASSERT_GE(l.AnchorList().size(), 2u);
    EXPECT_EQ(l.AnchorList()[0]->Bounds.Right - 1, Width(l, u"abc"_qs));
    EXPECT_EQ(l.AnchorList()[1]->Bounds.Top, h);

    struct Tab {
        const char16_t* Caption;
        int Left;
    } tabs[] = {
        {u"<TAB><A t>x</A>", 30},
        {u"<TAB><TAB><A t>x</A>", 60},
        {u"<B>i<TAB><A t>x</A>", 30},
    };
    l.SetWordWrap(false);
    for (const Tab& t : tabs) {
        l.SetCaption(QString::fromUtf16(t.Caption));
        Paint(l);
        ASSERT_EQ(l.AnchorList().size(), 1u);
        EXPECT_EQ(l.AnchorList()[0]->Bounds.Left, t.Left)
            << QString::fromUtf16(t.Caption).toStdString();
    }

    // The hanging indent: continuation lines start under the text after the tab.
    l.resize(30 + Width(l, u"aaa"_qs) + 3, 100);
    l.SetWordWrap(true);
    l.SetCaption(u"1.<TAB><INDENT><A a>aaa</A> <A b>aaa</A>"_qs);
    Paint(l);
    EXPECT_EQ(Drawn(l, u"a"_qs).Left, 30);
    EXPECT_EQ(Drawn(l, u"b"_qs).Left, 30);
    EXPECT_EQ(Drawn(l, u"b"_qs).Top, h);
}

TEST(HTMLLabel, MeasuresItsExtent) {
    const QString line = u"Sample line"_qs;
    TbHTMLLabel l;
    const int w = Width(l, line);
    const int h = LineHeight(l);
    l.SetInnerSpace(2);
    l.SetCaption(line);
    EXPECT_EQ(l.size(), QSize(w + 4, h + 4)) << "plain";
    l.SetCaption(u"<B></B>"_qs + line);
    EXPECT_EQ(l.size(), QSize(w + 6, h + 6)) << "mark-up";
    l.SetCaption(u"<B><I>"_qs);
    EXPECT_EQ(l.height(), h + 6) << "a line of tags only is a blank line";

    l.SetInnerSpace(3);
    l.SetWordWrap(true);
    l.resize(150, 40);
    for (const QString& c :
         {u"<B>a</B> b"_qs, u"<I>a long caption that has to wrap</I>"_qs, u"<U>c"_qs}) {
        l.SetCaption(c);
        EXPECT_EQ(l.width(), 150) << "word-wrapping mark-up keeps its width";
    }

    // Nothing of one drawing reaches the next: a link left open without ">"
    // does not lend its font to the next drawing's "</A>".
    l.SetWordWrap(false);
    l.SetCaption(u"</A>some text<BIG><BIG><A"_qs);
    const QSize first = l.size();
    l.AdjustBounds();
    EXPECT_EQ(l.size(), first);
}

// Long texts, as error messages that quote the user's input bring them:
// measured to the pixel and painted without a coordinate overflowing (the
// sanitizers abort on that). A pen position beyond the largest widget is
// held there.
TEST(HTMLLabel, MeasuresLongTexts) {
    TbHTMLLabel probe;
    QFont bold = probe.font();
    bold.setBold(true);
    const int w = TextWidth(u"W"_qs, bold, &probe);
    const int h = TextHeight(bold, &probe);
    int perLine = 1; // letters of a wrapped word in 300 pixels
    while (TextWidth(QString(perLine + 1, u'W'), bold, &probe) <= 300 - 2)
        ++perLine;
    QFont huge = bold;
    huge.setPointSize(400);
    const struct {
        QString Caption;
        bool Wrap;
        bool Huge;
        int Right;
        int Bottom;
    } cases[] = {
        {u"<B>W"_qs.repeated(25000), false, false, 25000 * w + 2, h + 2},
        {u"<B>"_qs + QString(30000, u'W'), true, false, 300, (29999 / perLine + 1) * h + 2},
        {u"<B>W<BR>"_qs.repeated(5000), false, false, w + 2, 5000 * h + 2},
        {(u"<B>"_qs + QString(10000, u'W')).repeated(5), false, true,
         static_cast<int>(std::min<qint64>(
             5 * qint64(TextWidth(QString(10000, u'W'), huge, &probe)), QWIDGETSIZE_MAX)) +
             2,
         TextHeight(huge, &probe) + 2},
    };
    for (const auto& c : cases) {
        TbHTMLLabel l;
        l.SetAutoSize(false);
        l.resize(300, 200);
        if (c.Huge) {
            QFont f = l.font();
            f.setPointSize(400);
            l.setFont(f);
        }
        l.SetWordWrap(c.Wrap);
        l.SetCaption(c.Caption);
        TRect r{0, 0, 300, 200};
        l.DrawCaptionText(r, DT_EXPANDTABS | DT_CALCRECT | (c.Wrap ? DT_WORDBREAK : 0u));
        EXPECT_EQ(r, (TRect{0, 0, c.Right, c.Bottom})) << c.Caption.left(20).toStdString();
        QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        TRect all{0, 0, 300, 200};
        l.DrawCaptionText(all, DT_EXPANDTABS | (c.Wrap ? DT_WORDBREAK : 0u), &painter);
    }
}

// A label takes the loaded notification of the form that holds it: from then
// on a plain text cut off by its edge shows whole in its tip, unless the
// label came with a tip of its own.
TEST(HTMLLabel, TipsACutTextOnceItsFormIsBuilt) {
    const QString text = u"A text far wider than the label"_qs;
    const struct {
        QString OwnTip;
        bool Built; // the form has finished building its controls
        QString Tip;
    } cases[] = {
        {QString(), false, QString()},
        {QString(), true, text},
        {u"own"_qs, true, u"own"_qs},
    };
    for (const auto& c : cases) {
        TForm form;
        auto* l = new TbHTMLLabel(&form);
        l->SetAutoSize(false);
        l->resize(20, 15);
        l->setToolTip(c.OwnTip);
        l->SetCaption(text);
        if (c.Built) form.FinishCreate();
        Paint(*l);
        EXPECT_EQ(l->toolTip(), c.Tip) << c.OwnTip.toStdString() << (c.Built ? " built" : "");
    }
}

TEST(HTMLLabel, HoversAndClicksLinks) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"http"_qs, &catcher, "Open");
    TbHTMLLabel l;
    QStringList clicked;
    l.OnAnchorClick = [&](QObject*, QString name) { clicked << name; };
    l.SetCaption(u"<a href=\"http://example.invalid/\">Maker</a> <a name=n>Other</a>"_qs);
    Paint(l);
    ASSERT_EQ(l.AnchorList().size(), 2u);
    const TRect b = l.AnchorList()[0]->Bounds;

    for (const QPoint edge : {QPoint(b.Left, b.Top + 1), QPoint(b.Right, b.Top + 1),
                              QPoint(b.Left + 1, b.Top), QPoint(b.Left + 1, b.Bottom)}) {
        l.MouseMove({}, edge.x(), edge.y());
        EXPECT_EQ(l.HoverIndex(), -1) << "an edge is not over the link";
    }
    l.MouseMove({}, b.Left + 1, b.Top + 1);
    EXPECT_EQ(l.HoverIndex(), 0);
    EXPECT_EQ(l.cursor().shape(), Qt::PointingHandCursor);
    l.Click();
    ASSERT_EQ(catcher.Opened.size(), 1);
    EXPECT_EQ(catcher.Opened[0], QUrl(u"http://example.invalid/"_qs)) << "quotes stripped";
    EXPECT_TRUE(clicked.isEmpty()) << "an HREF link never reaches OnAnchorClick";
    EXPECT_NE(l.cursor().shape(), Qt::PointingHandCursor);

    const TRect o = l.AnchorList()[1]->Bounds;
    l.MouseMove({}, o.Left + 1, o.Top + 1);
    l.Click();
    EXPECT_EQ(clicked, QStringList{u"n"_qs});
    l.MouseMove({}, o.Left + 1, o.Top + 1);
    l.MouseLeave();
    EXPECT_EQ(l.HoverIndex(), -1);
    EXPECT_NE(l.cursor().shape(), Qt::PointingHandCursor);
    QDesktopServices::unsetUrlHandler(u"http"_qs);
}

// A link that nothing opens (no handler, no desktop opener under the
// offscreen platform) is told to the user with its target, not dropped.
TEST(HTMLLabel, ALinkNothingOpensIsTold) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"http"_qs, &catcher, "Open");
    const struct {
        QString Target;
        int Opened;
        QStringList Message;
    } cases[] = {
        {u"http://example.invalid/"_qs, 1, {}},
        {u"file:///usr/share/barcodegen/about%20us.html"_qs,
         0,
         {u"Nothing on this desktop opens the link:"_qs,
          u"/usr/share/barcodegen/about us.html"_qs}},
        {u"x-unknown:thing"_qs,
         0,
         {u"Nothing on this desktop opens the link:"_qs, u"x-unknown:thing"_qs}},
    };
    for (const auto& c : cases) {
        catcher.Opened.clear();
        QStringList message;
        TDlgExecHook answer([&](TbDlgForm& Form) {
            for (const TbHTMLLabel* label : Form.Labels)
                message << label->Caption();
            return 1;
        });
        TbHTMLLabel l;
        l.SetCaption(u"<a href=\"%1\">Maker</a>"_qs.arg(c.Target));
        Paint(l);
        const TRect b = l.AnchorList()[0]->Bounds;
        l.MouseMove({}, b.Left + 1, b.Top + 1);
        l.Click();
        EXPECT_EQ(catcher.Opened.size(), c.Opened) << c.Target.toStdString();
        EXPECT_EQ(message, c.Message) << c.Target.toStdString();
    }
    QDesktopServices::unsetUrlHandler(u"http"_qs);
}

} // namespace

#include "bHTMLLabel_test.moc"
