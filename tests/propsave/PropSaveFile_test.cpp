#include "complib/bHTMLLabel.h"
#include "complib/bdlg.h"
#include "complib/btool.h"
#include "propsave/PropSaveMain.h"
#include "propsave/zlib_interface.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

std::string S(const QString& s) {
    return s.toStdString();
}

QByteArray Inflate(const QByteArray& packed) {
    QByteArray out(1 << 20, '\0');
    uLongf size = out.size();
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                         reinterpret_cast<const Bytef*>(packed.data()), packed.size()),
              Z_OK);
    out.resize(static_cast<qsizetype>(size));
    return out;
}

class SettingsFile : public ::testing::Test {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::system());
        if (FReadOnly) SetReadOnly(false);
    }

    QString Path(const char* Name) const { return Dir.filePath(QString::fromLatin1(Name)); }
    QString Put(const char* Name, const QByteArray& Bytes) const {
        QFile f(Path(Name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Bytes);
        return f.fileName();
    }
    static QByteArray Bytes(const QString& Path) {
        QFile f(Path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    static std::unique_ptr<TPropSaveFile> Opened(const QString& Path, bool Compress = false) {
        auto f = std::make_unique<TPropSaveFile>();
        f->SetCompressFile(Compress);
        f->Open(Path);
        return f;
    }
    // A store holding Text, not tied to a file.
    static std::unique_ptr<TPropSaveFile> Holding(const QString& Text) {
        auto f = std::make_unique<TPropSaveFile>();
        f->DisableAll = true;
        f->Open(QStringLiteral("/nonexistent/x.ini"));
        f->Store()->SetIniText(Text);
        return f;
    }
    // The folder can no longer take files, for root too (immutable flag).
    bool SetReadOnly(bool On) {
        FReadOnly = On;
        const QByteArray dir = QFile::encodeName(Dir.path());
        chmod(dir.constData(), On ? 0555 : 0755);
        if (geteuid() != 0) return true;
        const int fd = open(dir.constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = On ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0) close(fd);
        return done;
    }

    QTemporaryDir Dir;
    QStringList Messages;
    // Every message dialog is answered at once; its text lines are collected.
    TDlgExecHook Answer{[this](TbDlgForm& Form) {
        for (const TbHTMLLabel* label : Form.Labels)
            Messages << label->Caption();
        return 1;
    }};
    bool FReadOnly = false;
};

TEST_F(SettingsFile, ParsesTextAndWritesItBack) {
    const struct {
        const char* In;
        const char* Out;
    } cases[] = {
        {"", ""},
        {"[B]\rb=1\n[A]\r\na=2", "[B]\r\nb=1\r\n\r\n[A]\r\na=2\r\n\r\n"},
        {"x=before\n; note\n\n[ S ]\n;k=no\n \t k  =  v w \x01\nno equals\n\n",
         "[S]\r\nk=v w\r\nno equals\r\n\r\n"},
        {"[S]\na=1\n[s]\na=2\n[]\n=\n", "[S]\r\na=1\r\n\r\n[s]\r\na=2\r\n\r\n[]\r\n=\r\n\r\n"},
    };
    for (const auto& c : cases) {
        auto f = Holding(QString::fromUtf8(c.In));
        EXPECT_EQ(S(f->Store()->GetIniText()), c.Out) << c.In;
    }

    auto f = Holding(QStringLiteral("[main_xy]\nwinminmax=2\nno equals\nk=a=b\nempty=\n[Main_XY]\n"
                                    "WinMinMax=5\nlate=1"));
    const struct {
        const char *Section, *Key, *Value;
    } reads[] = {{"Main_XY", "WinMinMax", "2"}, {"MAIN_xy", "k", "a=b"},  {"Main_XY", "empty", ""},
                 {"Main_XY", "no equals", "-"}, {"Main_XY", "late", "-"}, {"Other", "k", "-"}};
    for (const auto& r : reads)
        EXPECT_EQ(S(f->Store()->ReadString(r.Section, r.Key, QStringLiteral("-"))), r.Value)
            << r.Section << "/" << r.Key;

    // New sections and keys go to the end, a rewritten key keeps its place,
    // an erased and rewritten section moves to the end.
    auto w = Holding(QString());
    w->WriteInteger("A", "x", 1);
    w->WriteInteger("B", "y", 2);
    w->WriteInteger("A", "z", 3);
    w->WriteInteger("a", "X", 4);
    EXPECT_EQ(S(w->Store()->GetIniText()), "[A]\r\nX=4\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n");
    w->EraseSection("a");
    w->WriteInteger("A", "x", 5);
    w->DeleteKey("B", "Y");
    EXPECT_EQ(S(w->Store()->GetIniText()), "[B]\r\n\r\n[A]\r\nx=5\r\n\r\n");
}

TEST_F(SettingsFile, ValuesAndTheirDefaults) {
    auto f =
        Holding(QStringLiteral("[S]\nd=31\nh=0x1F\nH=0X1f\nx=0x\nw=abc\ne=\nn=-5\nm=0xFFFFFFFF\n"
                               "big=99999999999\np=+7\nt=a_#9_b\nnl=a_#13__#10_b"));
    const struct {
        const char* Key;
        int Value;
    } ints[] = {{"d", 31}, {"h", 31}, {"H", 31},   {"x", 99}, {"w", 99},   {"e", 99},
                {"n", -5}, {"m", -1}, {"big", 99}, {"p", 7},  {"none", 99}};
    for (const auto& i : ints)
        EXPECT_EQ(f->ReadInteger("S", i.Key, 99), i.Value) << i.Key;
    EXPECT_TRUE(f->ReadBool("S", "n", false));
    EXPECT_FALSE(f->ReadBool("S", "w", false));
    EXPECT_EQ(S(f->ReadString("S", "t", "")), "a\tb");
    EXPECT_EQ(S(f->ReadString("S", "nl", "")), "a\r\nb");
    EXPECT_EQ(S(f->ReadString("S", "e", "default")), "");
    EXPECT_EQ(S(f->ReadString("S", "none", "x_#9_y")), "x\ty");

    // TAB, CR and LF are kept out of the line; a value cannot open a section.
    const QString path = Path("values.ini");
    {
        auto w = Opened(path);
        w->WriteString("S", "k", "a\tb\n[Evil]\r\nk=v");
        w->WriteString("S", "blanks", " v ");
        EXPECT_EQ(S(w->ReadString("S", "blanks", "")), " v ");
    }
    EXPECT_EQ(Bytes(path).toStdString(),
              "[S]\r\nk=a_#9_b_#10_[Evil]_#13__#10_k=v\r\nblanks= v \r\n\r\n");
    auto r = Opened(path);
    EXPECT_EQ(S(r->ReadString("S", "k", "")), "a\tb\n[Evil]\r\nk=v");
    EXPECT_EQ(S(r->ReadString("S", "blanks", "")), "v");
    EXPECT_FALSE(r->SectionExists("Evil"));
}

TEST_F(SettingsFile, VariantKindsChooseTheConversion) {
    auto f = Holding(QString());
    f->OnWriteValue = [](const QString&, const QString& Ident, QVariant& V) {
        if (Ident == QLatin1String("dropped")) V = QVariant();
    };
    const QDateTime day(QDate(2024, 3, 5), QTime(0, 0));
    const struct {
        const char* Key;
        QVariant Value;
        const char* Text;
        QVariant Default;
        const char* Back; // toString() of what reads back
    } cases[] = {
        {"int", -5, "-5", 0, "-5"},
        {"short", QVariant::fromValue<short>(7), "7", QVariant::fromValue<short>(0), "7"},
        {"uint", 4000000000u, "4000000000", 0u, "4000000000"},
        {"int64", qint64(1) << 40, "1099511627776", qint64(0), "1099511627776"},
        {"uint64", quint64(18446744073709551615ull), "18446744073709551615", QString(),
         "18446744073709551615"},
        {"double", 2.5, "2.5", 0.0, "2.5"},
        {"bool", true, "1", false, "true"},
        {"date", day.date(), "3/5/2024", QDateTime(), "2024-03-05T00:00:00.000"},
        {"text", QStringLiteral("a\tb"), "a_#9_b", QString(), "a\tb"},
    };
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const auto& c : cases) {
        f->WriteValue("S", c.Key, c.Value);
        EXPECT_EQ(S(f->Store()->ReadString("S", c.Key, "-")), c.Text) << c.Key;
        EXPECT_EQ(S(f->ReadValue("S", c.Key, c.Default).toString()), c.Back) << c.Key;
    }
    EXPECT_EQ(f->ReadValue("S", "int", QVariant::fromValue<short>(0)).typeId(), QMetaType::Int);
    EXPECT_EQ(f->ReadValue("S", "date", QVariant(QDate())).toDateTime(), day);
    EXPECT_EQ(f->ReadValue("S", "none", QVariant()).toString(), QString());

    f->WriteValue("S", "dropped", 1);
    f->WriteValue("S", "int", QVariant());
    EXPECT_FALSE(f->Store()->ValueExists("S", "dropped"));
    EXPECT_FALSE(f->Store()->ValueExists("S", "int"));
    f->OnReadValue = [](const QString&, const QString&, QVariant& V) { V = V.toInt() + 1; };
    EXPECT_EQ(f->ReadInteger("S", "short", 0), 8);
}

TEST_F(SettingsFile, DatesAndFloatsFollowTheLocale) {
    const struct {
        QLocale Locale;
        const char *Date, *DateTime, *Float;
    } cases[] = {
        {QLocale(QLocale::Czech, QLocale::Czechia), "05.03.1999", "05.03.1999 14:05:09", "-1,5"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "3/5/1999", "3/5/1999 2:05:09 PM",
         "-1.5"},
    };
    const QDateTime day(QDate(1999, 3, 5), QTime(0, 0));
    const QDateTime moment(QDate(1999, 3, 5), QTime(14, 5, 9));
    for (const auto& c : cases) {
        QLocale::setDefault(c.Locale);
        auto f = Holding(QString());
        f->WriteDateTime("S", "day", day);
        f->WriteDateTime("S", "moment", moment);
        f->Store()->WriteFloat("S", "float", -1.5);
        EXPECT_EQ(S(f->Store()->ReadString("S", "day", "")), c.Date);
        EXPECT_EQ(S(f->Store()->ReadString("S", "moment", "")), c.DateTime);
        EXPECT_EQ(S(f->Store()->ReadString("S", "float", "")), c.Float);
        EXPECT_EQ(f->ReadDateTime("S", "day", {}), day);
        EXPECT_EQ(f->ReadDateTime("S", "moment", {}), moment);
        EXPECT_EQ(f->ReadValue("S", "float", 0.0).toDouble(), -1.5);
        f->WriteString("S", "bad", "31.02.1999");
        EXPECT_EQ(f->ReadDateTime("S", "bad", day), day);
        EXPECT_EQ(f->ReadValue("S", "bad", 7.0).toDouble(), 7.0);
    }
}

TEST_F(SettingsFile, StringLists) {
    const struct {
        const char* Stored;
        bool Read;
        QStringList Expected;
    } cases[] = {
        {"", false, {"keep"}},
        {"ItemsCount=0\nItem0=x", true, {}},
        {"ItemsCount=4\nItem0=a\nItem1=b_#9_c\nItem2=\nItem5=z", true, {"a", "b\tc", "", ""}},
        {"ItemsCount=-4\nItem0=a", true, {}},
        {"ItemsCount=2147483647", true, {}}, // only the length is checked below
    };
    for (const auto& c : cases) {
        auto f = Holding(QStringLiteral("[L]\n") + QString::fromLatin1(c.Stored));
        QStringList list{"keep"};
        EXPECT_EQ(f->ReadStrings("L", list), c.Read) << c.Stored;
        if (list.size() == TPropSaveFile::kMaxListLines) continue;
        EXPECT_EQ(list, c.Expected) << c.Stored;
    }
    auto f = Holding(QString());
    f->WriteStrings("L", {"1", "2", "3"});
    f->WriteStrings("L", {"x"}); // the section is not emptied first
    EXPECT_EQ(S(f->Store()->GetIniText()),
              "[L]\r\nItemsCount=1\r\nItem0=x\r\nItem1=2\r\nItem2=3\r\n\r\n");
}

TEST_F(SettingsFile, ByteOrderMarksAreKept) {
    const QString text = QStringLiteral("[S]\r\nk=žluťoučký\r\n\r\n");
    const QString after = text.chopped(2) + QStringLiteral("n=1\r\n\r\n");
    const struct {
        const char* Mark;
        QStringConverter::Encoding Encoding;
    } cases[] = {{"", QStringConverter::Utf8},
                 {"\xEF\xBB\xBF", QStringConverter::Utf8},
                 {"\xFF\xFE", QStringConverter::Utf16LE},
                 {"\xFE\xFF", QStringConverter::Utf16BE}};
    for (const auto& c : cases) {
        const QByteArray mark(c.Mark);
        const QString path = Put("bom.ini", mark + QByteArray(QStringEncoder(c.Encoding)(text)));
        {
            auto f = Opened(path);
            EXPECT_EQ(S(f->ReadString("S", "k", "")), "žluťoučký");
            f->WriteInteger("S", "n", 1);
        }
        EXPECT_EQ(Bytes(path), mark + QByteArray(QStringEncoder(c.Encoding)(after))) << c.Mark;
    }
    // An 8-bit file that is no UTF-8 loses nothing.
    auto f = Opened(Put("latin.ini", "[S]\r\nk=caf\xE9\r\n"));
    EXPECT_EQ(S(f->ReadString("S", "k", "")), "café");
    EXPECT_TRUE(Messages.isEmpty());
}

// A hand-edited file with one line in another code page: that line alone is
// read byte by byte, every other keeps its letters, also through a save.
TEST_F(SettingsFile, OneBadLineSpoilsOnlyItself) {
    const QList<QByteArray> good = {"[Main]",
                                    "a=\u017elu\u0165ou\u010dk\u00fd k\u016f\u0148",
                                    "b=\u65e5\u672c\u8a9e",
                                    "c=\U0001F600 plain",
                                    "",
                                    "[Druh\u00e1]",
                                    "d=\u00e9",
                                    ""};
    const struct {
        const char* Bad;   // a line "x=..." that is no UTF-8
        int At;            // its place among the good lines
        const char* Reads; // x read as one character per byte
        const char* Ending;
    } cases[] = {
        {"x=caf\xE9", 1, "caf\u00e9", "\r\n"},
        {"x=\xFF", 3, "\u00ff", "\n"},
        {"x=\xC5\xBE\xE9", 4, "\u00c5\u00be\u00e9", "\r\n"}, // a good letter beside a bad one
        {"x=a\xC5", 7, "a\u00c5", "\r"},                     // cut short at the line's end
        {"x=\xC5", 8, "\u00c5", "\n"},                       // the last line, without a line end
    };
    for (const auto& c : cases) {
        QList<QByteArray> lines = good;
        lines.insert(c.At, c.Bad);
        const QString path = Put("edited.ini", lines.join(c.Ending));
        const char* xSection = c.At <= 4 ? "Main" : "Druh\u00e1";
        {
            auto f = Opened(path);
            EXPECT_EQ(S(f->ReadString("Main", "a", "")),
                      "\u017elu\u0165ou\u010dk\u00fd k\u016f\u0148")
                << c.Bad;
            EXPECT_EQ(S(f->ReadString("Main", "b", "")), "\u65e5\u672c\u8a9e") << c.Bad;
            EXPECT_EQ(S(f->ReadString("Main", "c", "")), "\U0001F600 plain") << c.Bad;
            EXPECT_EQ(S(f->ReadString("Druh\u00e1", "d", "")), "\u00e9") << c.Bad;
            EXPECT_EQ(S(f->ReadString(xSection, "x", "")), c.Reads) << c.Bad;
        }
        // Saved in the store's form: every good line as it was, the bad one
        // now in UTF-8.
        QList<QByteArray> saved = good;
        saved.insert(std::min(c.At, 7), QString::fromLatin1(c.Bad).toUtf8());
        EXPECT_EQ(Bytes(path), saved.join("\r\n") + "\r\n") << c.Bad;
    }
    EXPECT_TRUE(Messages.isEmpty());
}

// Sections and keys are found as QString::compare without case finds them,
// beyond ASCII too, and the first of two of one name counts.
TEST_F(SettingsFile, NamesMatchWithoutCase) {
    const QStringList names = {u"\u010c\u00edslo"_qs,
                               u"\u010d\u00edslo"_qs,
                               u"\u010c\u00cdSLO"_qs,
                               u"stra\u00dfe"_qs,
                               u"STRASSE"_qs,
                               u"STRA\u1e9eE"_qs,
                               u"\u03a3\u039f\u03a6\u038a\u0391"_qs,
                               u"\u03c3\u03bf\u03c6\u03af\u03b1"_qs,
                               u"\u03c2\u03bf\u03c6\u03af\u03b1"_qs,
                               u"\u01c4"_qs,
                               u"\u01c5"_qs,
                               u"\u01c6"_qs,
                               u"\ufb00"_qs,
                               u"ff"_qs,
                               u"\U00010400"_qs,
                               u"\U00010428"_qs,
                               u"\u0130"_qs,
                               u"i"_qs,
                               u"\u0131"_qs,
                               u"\u212a"_qs,
                               u"k"_qs,
                               u"\xd800k"_qs};
    for (const QString& stored : names) {
        auto f = Holding(u"["_qs + stored + u"]\n"_qs + stored + u"=1\n"_qs);
        for (const QString& asked : names) {
            const bool same = stored.compare(asked, Qt::CaseInsensitive) == 0;
            EXPECT_EQ(f->Store()->SectionExists(asked), same) << S(stored) << " / " << S(asked);
            EXPECT_EQ(f->Store()->ValueExists(stored, asked), same)
                << S(stored) << " / " << S(asked);
        }
    }

    // Deleting and erasing keep the lookups right: the next line or section
    // of the name takes over, the others keep theirs.
    auto f = Holding(u"[A]\nk=1\nx\nK=2\nm=3\n[B]\nk=4\n[a]\nk=5\nm=6\n"_qs);
    f->DeleteKey("A", "k");
    EXPECT_EQ(S(f->ReadString("A", "k", "-")), "2");
    EXPECT_EQ(S(f->ReadString("A", "m", "-")), "3");
    f->DeleteKey("A", "k");
    f->WriteString("A", "k", "7");
    EXPECT_EQ(S(f->Store()->GetIniText()),
              "[A]\r\nx\r\nm=3\r\nk=7\r\n\r\n[B]\r\nk=4\r\n\r\n[a]\r\nk=5\r\nm=6\r\n\r\n");
    f->EraseSection("a");
    EXPECT_EQ(S(f->ReadString("A", "m", "-")), "6");
    EXPECT_EQ(S(f->ReadString("B", "k", "-")), "4");
    f->WriteString("B", "n", "8");
    f->WriteString("A", "k", "9");
    EXPECT_EQ(S(f->Store()->GetIniText()), "[B]\r\nk=4\r\nn=8\r\n\r\n[a]\r\nk=9\r\nm=6\r\n\r\n");
}

TEST_F(SettingsFile, CompressedFile) {
    const QString plain = Path("gen.ini");
    const QString packed = Path("gen.ini.compress");
    for (const QString& path : {plain, packed}) {
        auto f = Opened(path, path == packed);
        f->WriteString("Main.eCode", "Text", "ABC-123");
        f->WriteStrings("Main.lbList", QStringList(1500, QString(50, u'x')));
    }
    const QByteArray bytes = Bytes(packed);
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(bytes.left(2), QByteArray("\x78\x9C"));
    EXPECT_EQ(Inflate(bytes), Bytes(plain));
    EXPECT_EQ(S(Opened(packed, true)->ReadString("Main.eCode", "Text", "")), "ABC-123");

    // Cut short: what inflates is used, without a message.
    Put("cut.ini.compress", bytes.left(bytes.size() / 2));
    auto cut = Opened(Path("cut.ini.compress"), true);
    cut->DisableAll = true;
    EXPECT_EQ(S(cut->ReadString("Main.eCode", "Text", "")), "ABC-123");
    EXPECT_TRUE(Messages.isEmpty());

    // Not a zlib stream: said once, empty store, replaced at the next save.
    const QString bad = Put("bad.ini.compress", "[Main]\r\nnot compressed\r\n");
    {
        auto f = Opened(bad, true);
        EXPECT_TRUE(f->Store()->ReadSections().isEmpty());
        f->WriteInteger("Main", "n", 1);
    }
    EXPECT_EQ(Messages, QStringList{QStringLiteral("Soubor \"%1\" nelze otevřít.").arg(bad)});
    EXPECT_EQ(Inflate(Bytes(bad)), QByteArray("[Main]\r\nn=1\r\n\r\n"));

    // The routines themselves, past the 64 KiB buffer.
    const QString text = QString(200000, u'x') + QStringLiteral("ž");
    EXPECT_EQ(DecompressText(CompressText(text, QString()), QString()), text);
}

TEST_F(SettingsFile, UnreadableFileStartsEmpty) {
    const QString path = Path("folder.ini");
    QDir().mkpath(path);
    auto f = Opened(path);
    f->DisableAll = true;
    EXPECT_TRUE(f->Store()->ReadSections().isEmpty());
    EXPECT_EQ(Messages, QStringList{QStringLiteral("Soubor \"%1\" nelze otevřít.").arg(path)});
}

TEST_F(SettingsFile, PathRules) {
    const QString exe = QCoreApplication::applicationFilePath();
    ASSERT_FALSE(QFileInfo(exe).fileName().contains(u'.'));
    const struct {
        const char* FileName;
        bool Compress;
        QString Expected;
    } cases[] = {
        {"", false, exe + ".ini"},
        {"", true, exe + ".ini.compress"},
        {"my.cfg", false, AppFolder() + "my.cfg"},
        {"my.cfg", true, AppFolder() + "my.cfg"},
    };
    for (const auto& c : cases) {
        TPropSaveFile f;
        f.DisableAll = true;
        f.SetFileName(c.FileName);
        f.SetCompressFile(c.Compress);
        f.Loaded();
        EXPECT_EQ(S(f.CurrentFileName()), S(c.Expected)) << c.FileName << c.Compress;
        f.SetFileName("other.cfg"); // renames, in the application folder too
        EXPECT_EQ(S(f.CurrentFileName()), S(AppFolder() + "other.cfg"));
    }

    // Open without a name reads the file again: unsaved changes are lost.
    const QString path = Put("reopen.ini", "[S]\r\nk=1\r\n");
    auto f = Opened(path);
    f->WriteInteger("S", "k", 2);
    f->Open();
    EXPECT_EQ(f->ReadInteger("S", "k", 0), 1);
    EXPECT_EQ(f->CurrentFileName(), path);
}

TEST_F(SettingsFile, FailedSaveLeavesTheOldFile) {
    const QString path = Put("gen.ini", "[S]\r\nk=old\r\n");
    {
        auto f = Opened(path);
        f->WriteString("S", "k", "new");
        if (!SetReadOnly(true)) GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_FALSE(f->Save(QString(), false));
        EXPECT_TRUE(Messages.isEmpty());
        EXPECT_EQ(S(f->ReadString("S", "k", "")), "new"); // the store is unchanged
    } // the save at destruction tells the user, once
    EXPECT_EQ(Messages,
              QStringList{QStringLiteral("Chyba při ukládání souboru \"%1\".").arg(path)});
    EXPECT_EQ(Bytes(path), QByteArray("[S]\r\nk=old\r\n"));
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{"gen.ini"});
}

// An environment variable set (or, with nullptr, unset) for one scope.
class TEnvironment {
public:
    TEnvironment(const char* Name, const QString* Value) : FName(Name), FOld(qgetenv(Name)) {
        FWasSet = qEnvironmentVariableIsSet(Name);
        if (Value)
            qputenv(Name, QFile::encodeName(*Value));
        else
            qunsetenv(Name);
    }
    ~TEnvironment() {
        if (FWasSet)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }

private:
    const char* FName;
    QByteArray FOld;
    bool FWasSet = false;
};

// A file that belongs beside the program stays there while the program may
// write into that folder, and goes among the user's settings otherwise.
TEST_F(SettingsFile, KeptBesideTheProgramOnlyWhereItMayBeWritten) {
    QTemporaryDir home;
    const QString config = home.filePath("cfg");
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const struct {
        const char* Name;
        bool ReadOnly;
        bool ConfigHome; // XDG_CONFIG_HOME set, else only HOME
        QString Expected;
    } cases[] = {
        {"gen.ini", false, true, Path("gen.ini")},
        {"gen.ini", true, true, config + '/' + program + "/gen.ini"},
        {"missing/gen.ini", false, true, config + '/' + program + "/gen.ini"},
        {"gen.ini.compress", true, false,
         home.path() + "/.config/" + program + "/gen.ini.compress"},
    };
    for (const auto& c : cases) {
        const TEnvironment xdg("XDG_CONFIG_HOME", c.ConfigHome ? &config : nullptr);
        const QString homePath = home.path();
        const TEnvironment h("HOME", &homePath);
        if (c.ReadOnly && !SetReadOnly(true)) GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_EQ(S(WritableSettingsPath(Path(c.Name))), S(c.Expected)) << c.Name;
        SetReadOnly(false);
    }

    // The program's folder among the user's settings appears with the first
    // save; no other missing folder is made.
    const TEnvironment xdg("XDG_CONFIG_HOME", &config);
    const QString ours = UserSettingsFolder() + "/gen.ini";
    const QString other = Path("missing/gen.ini");
    for (const QString& path : {ours, other}) {
        auto f = Opened(path);
        f->WriteInteger("S", "k", 1);
        EXPECT_EQ(f->Save(QString(), false), path == ours) << S(path);
        f->DisableAll = true;
    }
    EXPECT_EQ(Bytes(ours), QByteArray("[S]\r\nk=1\r\n\r\n"));
    EXPECT_FALSE(QFileInfo::exists(Path("missing")));
}

} // namespace
