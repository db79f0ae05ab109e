#include "picexport/bpictool.h"

#include "complib/BemoCompGlobalCfg.h"
#include "complib/bdlg.h"
#include "picexport/bDialogsEx.h"
#include "picture/FileIO.h"
#include "picture/SaveImage.h"

#include <QFileInfo>

#include <array>
#include <stdexcept>

namespace {

struct TFormatRow {
    TPicFileFormat Format;
    const char* Extension; // written for the format
    const char* Writer;    // the picture writer's name
};
constexpr std::array<TFormatRow, 3> Formats{{
    {pffBMP, ".bmp", "BMP"},
    {pffJPG, ".jpg", "JPEG"},
    {pffPNG, ".png", "PNG"},
}};

const TFormatRow* RowOf(TPicFileFormat Format) {
    for (const TFormatRow& row : Formats)
        if (row.Format == Format) return &row;
    return nullptr;
}

// The program's texts, exactly as the user has always seen them.
const QString FilterBmp = QStringLiteral("Bitmapy (*.bmp)|*.bmp");
const QString FilterJpeg = QStringLiteral("Jpeg soubory (*.jpg;*.jpeg)|*.jpg;*.jpeg");
const QString FilterPng = QStringLiteral("PNG soubory (*.png)|*.png");
const QString FilterAll =
    QStringLiteral("Grafické formáty (*.bmp;*.jpg;*.jpeg;*.png)|*.bmp;*.jpg;*.jpeg;*.png");

// The extension of the last path component, from its last "." on.
QString ExtensionOf(const QString& FileName) {
    const QString name = FileName.mid(FileName.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

std::runtime_error BadFormat() {
    return std::runtime_error(QString::fromUtf16(kBadPictureFormat).toStdString());
}

void Report(const std::exception& E) {
    ShowErrorReport(QString(), E, false);
}

} // namespace

QString PictureFormatExt(TPicFileFormat Format) {
    const TFormatRow* row = RowOf(Format);
    return row ? QString::fromLatin1(row->Extension) : QString();
}

TPicFileFormat PictureFormatOf(const QString& FileName) {
    const QString ext = ExtensionOf(FileName).toLower();
    if (ext == u".jpeg") return pffJPG;
    for (const TFormatRow& row : Formats)
        if (ext == QLatin1String(row.Extension)) return row.Format;
    return pffError;
}

QString PictureFilter(bool WithAllFormats) {
    const QString entries = FilterBmp + u'|' + FilterJpeg + u'|' + FilterPng;
    return WithAllFormats ? FilterAll + u'|' + entries : entries;
}

TPicFileFormat SavePictureToStream(const QImage& Picture, QIODevice& Stream, TPicFileFormat Format,
                                   int Quality) {
    if (Format == pffNone) Format = pffBMP;
    try {
        const TFormatRow* row = RowOf(Format);
        if (!row) throw BadFormat();
        QString error;
        if (Picture.isNull()) throw std::runtime_error("The picture is empty.");
        if (!WriteImage(Picture, Stream, QString::fromLatin1(row->Writer), DefaultDpi, &error,
                        Quality))
            throw std::runtime_error(error.toStdString());
        return Format;
    } catch (const std::exception& e) {
        Report(e);
    }
    return pffNone;
}

TPicFileFormat SavePictureToFile(const QImage& Picture, const QString& FileName,
                                 TPicFileFormat Format) {
    if (Format != pffNone && !RowOf(Format)) {
        Report(BadFormat());
        return pffNone;
    }
    bool created = false;
    TPicFileFormat result = pffNone;
    QString error;
    const bool written = WriteFileAtomically(
        FileName,
        [&](QIODevice& Stream, QString*) {
            created = true;
            BemoCompConfig.DBToolCfg.LastPictureFile = QFileInfo(FileName).absoluteFilePath();
            result = SavePictureToStream(Picture, Stream, Format, 100);
            return result != pffNone;
        },
        &error);
    if (written) return result;
    if (!created) throw EFileError(error.toStdString());
    // The picture was written but could not be put in place (a full disk at
    // the last flush, the folder gone): the old file is still there.
    if (result != pffNone) Report(std::runtime_error(error.toStdString()));
    return pffNone;
}

TPicFileFormat SavePictureAs(const QImage& Picture, const QString& InitialFolder,
                             TPicFileFormat DefaultFormat) {
    TbSaveDialog dialog;
    dialog.SetOptions(dialog.Options() | ofOverwritePrompt);
    if (!InitialFolder.isEmpty()) dialog.InitialDir = InitialFolder;
    dialog.DefaultExt = PictureFormatExt(DefaultFormat);
    dialog.Filter = PictureFilter(false);
    dialog.FilterIndex = int(DefaultFormat) - 1;
    if (!dialog.Execute()) return pffNone;
    QString name = dialog.FileName();
    if (ExtensionOf(name).isEmpty()) name += PictureFormatExt(DefaultFormat);
    return SavePictureToFile(Picture, name, PictureFormatOf(name));
}
