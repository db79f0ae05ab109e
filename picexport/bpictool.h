// Saving a picture to a file whose format follows from its extension: BMP,
// JPEG or PNG, through the program's one picture writer (SaveImage.h), so a
// file is replaced only by a complete new one and keeps its permission bits.
// Failures while writing are shown with ShowErrorReport and give 0.
#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>

#include <cstdint>

// Other values above 4 can reach the functions below; they are refused.
enum TPicFileFormat : std::uint8_t {
    pffNone = 0,  // none given: written as BMP
    pffError = 1, // a name whose extension is none of ours
    pffBMP = 2,
    pffJPG = 3,
    pffPNG = 4
};

// The message of a format that cannot be written.
inline constexpr char16_t kBadPictureFormat[] = u"Chybný formát obrázku.";

// ".bmp", ".jpg", ".png"; empty for every other value.
QString PictureFormatExt(TPicFileFormat Format);
// From the extension of the last path component (from its last "." on),
// case ignored: ".bmp"; ".jpg" or ".jpeg"; ".png"; anything else, and no
// extension, is pffError.
TPicFileFormat PictureFormatOf(const QString& FileName);
// The BMP, JPEG and PNG filter entries ("description|patterns") joined by
// "|", with the all-formats entry in front when WithAllFormats.
QString PictureFilter(bool WithAllFormats);

// Writes Picture to Stream (pffNone as BMP; JPEG at Quality). Returns the
// format written, or 0 after showing the error report.
TPicFileFormat SavePictureToStream(const QImage& Picture, QIODevice& Stream, TPicFileFormat Format,
                                   int Quality = 100);
// Writes Picture into FileName (JPEG at quality 100) through a temporary
// file beside it, renamed over it only when complete. A refused format is
// reported before anything is created; an existing file is left as it was on
// every failure. The name goes into BemoCompConfig.DBToolCfg.LastPictureFile
// once the file could be created. A file that cannot be created at all
// raises EFileError (the caller's event dispatch shows it); other failures
// are reported and give 0.
TPicFileFormat SavePictureToFile(const QImage& Picture, const QString& FileName,
                                 TPicFileFormat Format);
// The save dialog (TbSaveDialog, with the overwrite prompt) in InitialFolder,
// the filter entry and extension of DefaultFormat preselected; a name chosen
// without extension gets DefaultFormat's. Returns the format written, 0 when
// the user cancelled or the writing failed.
TPicFileFormat SavePictureAs(const QImage& Picture, const QString& InitialFolder,
                             TPicFileFormat DefaultFormat);
