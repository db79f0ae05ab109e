#include "picexport/bpictool.h"

#include "complib/BemoCompGlobalCfg.h"
#include "complib/bdlg.h"
#include "picexport/BitmapImage.h"
#include "picexport/bDialogsEx.h"
#include "picture/FileIO.h"
#include "picture/PictureFormats.h"
#include "picture/SaveImage.h"
#include "platform/QtConvert.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

// The row of the picture formats a code stands for: an image is written by
// the first extension of its row and known by every one. The drawings (SVG,
// PDF) have no code: they are drawn from the code, and Save as has a picture.
const TPictureFormat* RowOf(TPicFileFormat Format) {
    switch (Format) {
    case pffBMP:
        return PictureFormatNamed("BMP");
    case pffJPG:
        return PictureFormatNamed("JPEG");
    case pffPNG:
        return PictureFormatNamed("PNG");
    default:
        return nullptr;
    }
}

// The program's texts, exactly as the user has always seen them.
const QString FilterBmp = QStringLiteral("Bitmapy (*.bmp)|*.bmp");
const QString FilterJpeg = QStringLiteral("Jpeg soubory (*.jpg;*.jpeg)|*.jpg;*.jpeg");
const QString FilterPng = QStringLiteral("PNG soubory (*.png)|*.png");
const QString FilterAll =
    QStringLiteral("Grafické formáty (*.bmp;*.jpg;*.jpeg;*.png)|*.bmp;*.jpg;*.jpeg;*.png");

std::runtime_error BadFormat() {
    return std::runtime_error(QString::fromUtf16(kBadPictureFormat).toStdString());
}

void Report(const std::exception& E) {
    ShowErrorReport(QString(), E, false);
}

} // namespace

QString PictureFormatExt(TPicFileFormat Format) {
    const TPictureFormat* row = RowOf(Format);
    return row ? u'.' + QString::fromLatin1(row->Extensions[0].data(),
                                            qsizetype(row->Extensions[0].size()))
               : QString();
}

TPicFileFormat PictureFormatOf(const QString& FileName) {
    const TPictureFormat* row = PictureFormatOfFile(ToU16(FileName));
    for (const TPicFileFormat format : {pffBMP, pffJPG, pffPNG})
        if (row && RowOf(format) == row) return format;
    return pffError; // SVG and PDF among them: drawings need the code, not the picture
}

QString PictureFilter(bool WithAllFormats) {
    const QString entries = FilterBmp + u'|' + FilterJpeg + u'|' + FilterPng;
    return WithAllFormats ? FilterAll + u'|' + entries : entries;
}

TPicFileFormat SavePictureToStream(const QImage& Picture, QIODevice& Stream, TPicFileFormat Format,
                                   int Quality) {
    if (Format == pffNone) Format = pffBMP;
    try {
        const TPictureFormat* row = RowOf(Format);
        if (!row) throw BadFormat();
        if (Picture.isNull()) throw std::runtime_error("The picture is empty.");
        TBytes bytes;
        std::string error;
        if (!EncodeImage(*row, BitmapOfImage(Picture), DefaultDpi, bytes, &error, Quality))
            throw std::runtime_error(error);
        if (Stream.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            throw std::runtime_error(Stream.errorString().toStdString());
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
    std::string error;
    const bool written = WriteFileAtomically(
        FileNameBytes(FileName),
        [&](std::string& bytes, std::string*) {
            created = true;
            BemoCompConfig.DBToolCfg.LastPictureFile = QFileInfo(FileName).absoluteFilePath();
            QByteArray data;
            QBuffer Stream(&data);
            Stream.open(QIODevice::WriteOnly);
            result = SavePictureToStream(Picture, Stream, Format, 100);
            bytes = data.toStdString();
            return result != pffNone;
        },
        &error);
    if (written) return result;
    // The messages name the file as the user typed it.
    if (!created) throw EFileError(error);
    // The picture was written but could not be put in place (a full disk at
    // the last flush, the folder gone): the old file is still there.
    if (result != pffNone) Report(std::runtime_error(error));
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
    if (ExtensionStart(ToU16(name)) < 0) name += PictureFormatExt(DefaultFormat);
    return SavePictureToFile(Picture, name, PictureFormatOf(name));
}
