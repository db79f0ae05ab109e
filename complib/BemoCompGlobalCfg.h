// The library's global settings record. One instance, BemoCompConfig, is
// filled with its defaults by InitBemoCompConfig at start-up and then read by
// the library's components; after that only the picture export writes to it
// (LastPictureFile).
//
// The members carry the settings of every component of the library, also of
// those this program does not contain; their order is the record's historical
// order. Members without a known role are called ReservedN; where the default
// suggests a role, the name says so.
#pragma once

#include <QChar>
#include <QColor>
#include <QFlags>
#include <QString>

#include "forms/NotifyEvent.h"

#include <cstdint>
#include <functional>

class QObject;

// Sender is the label whose link was clicked, LinkName the link's value.
using TAnchorClickEvent = std::function<void(QObject* Sender, QString LinkName)>;

// The file dialog options the library cares about. Qt's QFileDialog::Options
// have no "file must exist" or "keep the current folder", so the save dialog
// translates this set itself (QFileDialog never changes the working folder,
// and its dialogs can always be resized).
enum TOpenOption : unsigned {
    ofOverwritePrompt = 0x1,
    ofNoChangeDir = 0x2,
    ofFileMustExist = 0x4,
    ofEnableSizing = 0x8,
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOpenOptions)

struct TPropSaveCfg {
    // A list control whose name contains this (compared with case) keeps its
    // items out of the settings file.
    QString NoStoreMarker = QStringLiteral("_nostore");
    QString Reserved1;
    std::uint8_t Reserved2 = 0;
};

struct TbDBToolCfg {
    QString SqlQuote = QStringLiteral("'");
    QString SqlBatchTerminator = QStringLiteral("GO");
    QString SqlTrue = QStringLiteral("1");
    QString SqlFalse = QStringLiteral("0");
    TOpenOptions SaveDialogOptions = ofNoChangeDir | ofFileMustExist | ofEnableSizing;
    TNotifyEvent OnSaveDialogCreate; // called with every new save dialog
    QString DialogFontName = QStringLiteral("Tahoma");
    std::int32_t DialogFontSize = 8; // points
    TAnchorClickEvent OnDialogAnchorClick;
    std::uint8_t Reserved1 = 2;
    QString LastPictureFile; // full name of the last picture file written
};

struct TbDBFieldDefaultsCfg {
    QString FloatDisplayFormat = QStringLiteral("# ### ##0.00");
    QString FloatEditFormat = QStringLiteral("0.00");
    QString BooleanDisplayValues = QStringLiteral("Yes;No");
    QString DateDisplayFormat; // empty: the locale's
    QString TimeDisplayFormat = QStringLiteral("h:nn");
    std::uint32_t Reserved1 = 0;
    std::uint32_t Reserved2 = 0;
    std::uint32_t Reserved3 = 0;
    std::int32_t Reserved4 = 0;
    QString ListSeparator = QStringLiteral(";");
};

struct TbDBFilterCfg {
    QChar WildcardAny = u'*';    // as the user types it
    QChar SqlWildcardAny = u'%'; // as the database wants it
    QString EqualsOperator = QStringLiteral("=");
    QChar NameOpenBracket = u'[';
    QChar NameCloseBracket = u']';
    std::uint8_t Reserved1 = 0;
    std::uint8_t Reserved2 = 1;
};

struct TbDBFindCfg {
    std::uint8_t Reserved1 = 0;
    std::int32_t Reserved2 = 0;
    std::int32_t Reserved3 = 0;
    std::int32_t Reserved4 = 2;
    std::uint8_t Reserved5 = 0;
    QString Reserved6;
};

struct TbDBPrintCfg {
    QString Reserved1;
};

struct TbDBSortCfg {
    std::uint8_t Reserved1 = 1;
    QString Folder; // the application folder, set at start-up
};

struct TBemoCompConfig {
    std::uint32_t Reserved1 = 0;
    std::uint32_t Reserved2 = 0;
    std::uint32_t Reserved3 = 0;
    std::uint32_t Reserved4 = 0;
    QString HelpFolder; // set at start-up

    TPropSaveCfg PropSaveCfg;

    QColor InactiveColor = QColor(0x80, 0x80, 0x80);
    QColor ActiveColor = QColor(0xFF, 0xFF, 0xFF);
    std::int32_t Reserved5 = 14;
    QColor ThemedBodyColor; // set at start-up
    std::uint8_t Reserved6 = 0;
    bool Reserved7 = true;
    std::uint8_t Reserved8 = 0;
    std::uint8_t Reserved9 = 0;
    std::uint8_t Reserved10 = 1;

    TbDBToolCfg DBToolCfg;
    TbDBFieldDefaultsCfg DBFieldDefaultsCfg;

    std::int32_t Reserved11 = 0;
    std::int32_t Reserved12 = 0;
    std::uint8_t Reserved13 = 0;

    TbDBFilterCfg DBFilterCfg;
    TbDBFindCfg DBFindCfg;

    std::uint8_t Reserved14 = 0;
    std::uint8_t Reserved15 = 0;

    TbDBPrintCfg DBPrintCfg;

    std::int32_t Reserved16 = 20;
    std::int32_t Reserved17 = 20;
    double Reserved18 = 0.2;
    std::int32_t Reserved19 = 1600;

    TbDBSortCfg DBSortCfg;

    std::int32_t Reserved20 = -1;
    std::uint8_t Reserved21 = 1;
};

extern TBemoCompConfig BemoCompConfig;

// Fills BemoCompConfig with its defaults. Call once at start-up, after the
// QApplication exists (the palette and the application folder come from it)
// and before the first window is created.
void InitBemoCompConfig();
