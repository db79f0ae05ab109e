// The command-line generator as a script sees it: exit codes, output files
// and what it prints.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(BARCODEGEN_CLI), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Cli, PatternPrintsPreparedTextAndPattern) {
    const CliRun r = Cli({"--pattern", "-t", "CodeEAN13", "123456789012"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "1234567890128\n50515160805170506253505152505050515270517150616060615152505\n");
    EXPECT_EQ(r.err, "");

    // Names are case-insensitive; an index works too; no check digit verifies it.
    EXPECT_EQ(Cli({"--pattern", "--type=codeean8", "1234567"}).out.section('\n', 0, 0), "12345670");
    EXPECT_EQ(
        Cli({"--pattern", "-t", "13", "--no-check-digit", "12345670"}).out.section('\n', 0, 0),
        "12345670");
    EXPECT_EQ(Cli({"--pattern", "-t", "0", "--", "123"}).out.section('\n', 0, 0), "0123");
}

TEST(Cli, WritesPicturesInTheFormatOfTheExtension) {
    QTemporaryDir dir;
    for (const char* name : {"a.png", "b.bmp", "c.jpg", "d.JPEG"}) {
        const QString path = dir.filePath(name);
        const CliRun r = Cli({"-o", path, "590123412345"});
        ASSERT_EQ(r.exitCode, 0) << name << r.err.toStdString();
        const QImage img(path);
        EXPECT_EQ(img.size(), QSize(238, 190)) << name;
    }
    const CliRun plain =
        Cli({"--no-border", "--no-text", "-o", dir.filePath("e.png"), "590123412345"});
    ASSERT_EQ(plain.exitCode, 0);
    EXPECT_EQ(QImage(dir.filePath("e.png")).size(), QSize(285, 200));
    // Only the finished pictures are left: no temporary files beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 5);
}

TEST(Cli, RefusedCodeWritesNothingAndKeepsAnExistingFile) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh.png");
    CliRun r = Cli({"-t", "CodeEAN8", "-o", fresh, "123456789"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(),
              R"(Invalid length for barcode "EAN8" (must be 7 digits, current "123456789").)");
    EXPECT_FALSE(QFile::exists(fresh));

    const QString existing = dir.filePath("keep.png");
    ASSERT_EQ(Cli({"-o", existing, "590123412345"}).exitCode, 0);
    const QByteArray before = ReadAll(existing);
    r = Cli({"-o", existing, "59012341234x"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), "Barcode must be numeric");
    EXPECT_EQ(ReadAll(existing), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.png"});

    r = Cli({"-o", dir.filePath("no/such/folder/x.png"), "590123412345"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
}

TEST(Cli, UsageErrors) {
    const QStringList bad[] = {
        {},
        {"590123412345"},                     // nothing to do
        {"--pattern"},                        // no code
        {"--pattern", "-t", "23", "1"},       // Undefined is not a choice
        {"--pattern", "-t", "Nope", "1"},     //
        {"--pattern", "-t"},                  // missing value
        {"--border", "31", "--pattern", "1"}, //
        {"--border", "x", "--pattern", "1"},  //
        {"--frobnicate", "--pattern", "1"},   //
        {"--pattern", "1", "2"},              // two codes
        {"-o", "picture.gif", "1"},           // unknown format
        {"--pattern=yes", "1"},               //
    };
    for (const QStringList& args : bad) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("barcodegen-cli:")) << r.err.toStdString();
        EXPECT_EQ(r.out, "");
    }
}

TEST(Cli, HelpAndTypeList) {
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: barcodegen-cli"));
    const CliRun list = Cli({"--list-types"});
    EXPECT_EQ(list.exitCode, 0);
    const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 23);
    EXPECT_EQ(lines.first(), "0 Code_2_5_interleaved");
    EXPECT_EQ(lines[14], "14 CodeEAN13");
    EXPECT_EQ(lines.last(), "22 CodeEAN128C");
}
