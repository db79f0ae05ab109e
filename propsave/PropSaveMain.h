// Settings that survive: the settings file (TPropSaveFile with its in-memory
// store TMemIniFileEx), the form saver (TPropSaveMain) and the control savers
// (TPositionPropSave, TStdCtrlPropSave).
//
// A form places one TPropSaveFile and one TPropSaveMain among its components
// and names the controls to remember in StdCtrl.Components; FinishCreate()
// then opens the store (TPropSaveFile::Loaded) and hooks the form's events
// (TPropSaveMain::Loaded). Every value goes through TPropSaveFile's typed
// reads and writes; the file is written when the TPropSaveFile is destroyed.
#pragma once

#include "forms/Component.h"
#include "forms/Form.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

// ---- messages

// The two messages of the settings file; %1 is the file's path.
inline constexpr char16_t kCannotOpenFile[] = u"Soubor \"%1\" nelze otevřít.";
inline constexpr char16_t kCannotSaveFile[] = u"Chyba při ukládání souboru \"%1\".";

// Shows a message of the settings file in the library's message dialog: a
// simple box with the program's title and an OK button.
void ShowPropSaveMessage(const QString& Text);

// ---- the in-memory store

// The encoding a plain file was read in, kept for writing it back.
enum class TFileEncoding : std::uint8_t { Ansi, Utf8Bom, Utf16LEBom, Utf16BEBom };

// An INI file held in memory: an ordered list of sections, each an ordered
// list of lines "key=value" (or lines without "=" as they were read). Kept by
// hand rather than in QSettings, which keeps neither the order of sections
// and lines nor duplicate sections nor lines without "=". Names
// and keys are compared without regard to case; the first of two sections of
// one name is the one read and written. Values are text; the typed reads give
// their default for a missing key or a text of the wrong form.
class TMemIniFileEx {
public:
    // Reads FileName when it exists: plain text (after a UTF-8 or UTF-16
    // byte-order mark in that encoding, otherwise the system's code page) or,
    // with Compress, one zlib stream of that text. A file that cannot be read
    // or inflated leaves the store empty and, with ShowErrors, says so
    // (kCannotOpenFile); nothing is raised: the program starts with its
    // defaults, and the next save replaces the file.
    TMemIniFileEx(const QString& FileName, bool Compress, bool ShowErrors);

    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& FileName) { FFileName = FileName; }
    bool Compress() const { return FCompress; }
    void SetCompress(bool Compress) { FCompress = Compress; }
    TFileEncoding Encoding() const { return FEncoding; }

    bool SectionExists(const QString& Section) const;
    QStringList ReadSections() const;
    // Removes the (first) section of that name with all its lines.
    void EraseSection(const QString& Section);
    void DeleteKey(const QString& Section, const QString& Ident);
    bool ValueExists(const QString& Section, const QString& Ident) const;

    QString ReadString(const QString& Section, const QString& Ident, const QString& Default) const;
    // A new section goes to the end of the list, a new key to the end of its
    // section; an existing key keeps its place.
    void WriteString(const QString& Section, const QString& Ident, const QString& Value);

    // Decimal, or hexadecimal after "0x" (0x80000000 to 0xFFFFFFFF are the
    // negative numbers, as in 32-bit two's complement).
    int ReadInteger(const QString& Section, const QString& Ident, int Default) const;
    qint64 ReadInt64(const QString& Section, const QString& Ident, qint64 Default) const;
    void WriteInteger(const QString& Section, const QString& Ident, qint64 Value);
    // "1" and "0"; any integer other than 0 reads as true.
    bool ReadBool(const QString& Section, const QString& Ident, bool Default) const;
    void WriteBool(const QString& Section, const QString& Ident, bool Value);
    // The locale's short date with a four-digit year, then a blank and its
    // long time (without time zone) when the time of day is not midnight.
    QDateTime ReadDateTime(const QString& Section, const QString& Ident,
                           const QDateTime& Default) const;
    void WriteDateTime(const QString& Section, const QString& Ident, const QDateTime& Value);
    // Up to 15 significant digits with the locale's decimal separator.
    double ReadFloat(const QString& Section, const QString& Ident, double Default) const;
    void WriteFloat(const QString& Section, const QString& Ident, double Value);

    // Each section as "[name]", its lines and an empty line, all ended by CR LF.
    QString GetIniText() const;
    // Empties the store and parses Text: lines split at CR LF, CR or LF and
    // trimmed; empty lines and ";" comments skipped; "[name]" opens a section;
    // lines before the first section dropped; "key = value" kept as
    // "key=value", a line without "=" as it is.
    void SetIniText(const QString& Text);
    void Clear();

    // Writes the store to FileName in the current form: plain text in the
    // encoding it was read in, or compressed. The file is replaced only by a
    // complete new one. Raises EFileError.
    void UpdateFile() const;

private:
    // Sections and keys are found through indexes by their case-folded
    // names, so that a long list is written and read without reading its
    // section once for every key.
    struct TSection {
        QString Name;
        QStringList Lines;
        QHash<QString, qsizetype> Keys; // the first line of each key
        void Append(const QString& Line);
        qsizetype FindKey(const QString& Ident) const; // -1: none
        void RemoveLine(qsizetype Index);
    };
    const TSection* Find(const QString& Section) const;
    TSection* Find(const QString& Section);
    void AppendSection(const QString& Name);

    QString FFileName;
    bool FCompress = false;
    TFileEncoding FEncoding = TFileEncoding::Ansi;
    QList<TSection> FSections;
    QHash<QString, qsizetype> FSectionIndex; // the first section of each name
};

// ---- the settings file component

using TReadValueEvent =
    std::function<void(const QString& Section, const QString& Ident, QVariant& Value)>;
using TWriteValueEvent = TReadValueEvent;

// The kinds a value is read and written as, chosen from a QVariant's type.
enum class TValueKind : std::uint8_t {
    Null,     // an invalid (null) QVariant: read as an empty string, written as "delete the key"
    Integer,  // bool excluded, every integer type up to 32 bits: read as int
    Int64,    // qint64, long and unsigned 32-bit: read in their own type
    Float,    // float, double
    DateTime, // QDateTime, QDate
    Boolean,
    String // everything else (QString, quint64, ...), as its toString()
};
TValueKind ValueKindOf(const QVariant& Value);

// Where a settings file that belongs beside the program is kept: there when
// the program may write into that folder (a build folder, a portable copy),
// else under the user's configuration folder (UserSettingsFolder()) with the
// same file name, as an installed program in /usr/bin must.
QString WritableSettingsPath(const QString& BesideProgram);
// $XDG_CONFIG_HOME (or ~/.config) and the executable's name without its
// extension; empty when the user has no home folder. Save creates it.
QString UserSettingsFolder();

class TPropSaveFile : public TComponent {
    Q_OBJECT
public:
    explicit TPropSaveFile(QObject* Owner = nullptr);
    // Saves the store (unless DisableAll), showing a failure.
    ~TPropSaveFile() override;

    // Opens the store: Open().
    void Loaded() override;

    // Relative to the application folder (WritableSettingsPath decides
    // where it is kept) or absolute; empty: named after the executable.
    // Setting it while a store is open renames the store's file (nothing is
    // reloaded).
    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& FileName);
    // Keep the file zlib-compressed. Setting it changes the store's format
    // for the next save; nothing is reloaded.
    bool CompressFile() const { return FCompressFile; }
    void SetCompressFile(bool Compress);
    // The file is not written at destruction and the savers do nothing; the
    // store is still opened and can be used directly.
    bool DisableAll = false;

    // Called after every value read, before every value write; may change the value.
    TReadValueEvent OnReadValue;
    TWriteValueEvent OnWriteValue;

    // Discards the store without saving and reads it again from FileName,
    // or (empty) from the store's file, or from DefaultFileName().
    void Open(const QString& FileName = QString());
    // FileName in the application folder, else the executable's path with
    // its extension replaced by ".ini" (".ini.compress" with CompressFile);
    // either through WritableSettingsPath.
    QString DefaultFileName() const;
    // Writes the store to its file (FileName, when given, becomes both its
    // file and this component's FileName), creating UserSettingsFolder() for
    // a file there. False when that fails; with
    // ShowErrors the user is told (kCannotSaveFile). The store is unchanged.
    bool Save(const QString& FileName = QString(), bool ShowErrors = true);
    // The store's file; empty when no store is open.
    QString CurrentFileName() const;
    TMemIniFileEx* Store() const { return FStore.get(); }

    bool SectionExists(const QString& Section) const;
    void EraseSection(const QString& Section);
    void DeleteKey(const QString& Section, const QString& Ident);

    // Read and write by the kind of Default or Value (ValueKindOf). Strings
    // keep TAB, CR and LF as "_#9_", "_#13_" and "_#10_". A null Value
    // deletes the key. Without an open store reads give Default and writes
    // do nothing.
    QVariant ReadValue(const QString& Section, const QString& Ident, const QVariant& Default);
    void WriteValue(const QString& Section, const QString& Ident, const QVariant& Value);

    QString ReadString(const QString& Section, const QString& Ident, const QString& Default);
    void WriteString(const QString& Section, const QString& Ident, const QString& Value);
    int ReadInteger(const QString& Section, const QString& Ident, int Default);
    void WriteInteger(const QString& Section, const QString& Ident, int Value);
    bool ReadBool(const QString& Section, const QString& Ident, bool Default);
    void WriteBool(const QString& Section, const QString& Ident, bool Value);
    QDateTime ReadDateTime(const QString& Section, const QString& Ident, const QDateTime& Default);
    void WriteDateTime(const QString& Section, const QString& Ident, const QDateTime& Value);

    // "ItemsCount" and "Item0", "Item1", ... ReadStrings leaves List alone and
    // returns false when there is no "ItemsCount"; otherwise List becomes the
    // stored lines (a missing line is empty; at most kMaxListLines lines).
    // WriteStrings does not erase the section first.
    bool ReadStrings(const QString& Section, QStringList& List);
    void WriteStrings(const QString& Section, const QStringList& List);
    static constexpr int kMaxListLines = 1 << 16;

private:
    std::unique_ptr<TMemIniFileEx> FStore;
    QString FFileName;
    bool FCompressFile = false;
};

// ---- the savers

// A mistake in a saver's configuration: a line that names no component, or a
// component that the saver cannot store. The message has the form
// "<text> (PropSaveMain, line <n>)".
class EAssertionFailed : public std::runtime_error {
public:
    explicit EAssertionFailed(const QString& Message) : std::runtime_error(Message.toStdString()) {}
};

class TPropSaveMain;

using TOnGetKeyString = std::function<void(QObject* Comp, QString& Key)>;

// What all control savers share: the list of components and how a component
// becomes a section name.
class TCustomPropSave : public TComponent {
    Q_OBJECT
public:
    explicit TCustomPropSave(QObject* Owner = nullptr) : TComponent(Owner) {}

    bool Disable = false;
    // One line per component: "eCode"; "Panel.Edit" (Panel owned by the
    // form, Edit owned by Panel); either followed by ".*" for the component
    // and every control inside it, at any depth ("Main.*": the whole form).
    // Names are compared without regard to case.
    QStringList Components;
    // Replaces the section naming: called with the form key in Key; the
    // section is what the handler leaves there.
    TOnGetKeyString OnGetKeyString;

    TPropSaveMain* PropSaveMain() const { return FPropSaveMain; }
    void SetPropSaveMain(TPropSaveMain* Main) { FPropSaveMain = Main; }

    // One pass over Components: reads the values (Write false) or writes
    // them, erasing each component's section first. Raises EAssertionFailed.
    void ReadWriteComponents(bool Write);
    // The form key, the names of the component's owners up to the form, and
    // its own name, joined by "." (Main.eCode, Main.OptionsPanel.NameEdit);
    // empty for a component without a name.
    QString GetKeyString(QObject* Component) const;
    void ProcessComponent(QObject* Component, bool Recursive, bool Write);

    virtual void ReadWriteComponent(bool Write, TPropSaveFile& File, const QString& Key,
                                    QObject* Component) = 0;
    virtual bool CanSave(QObject* Component) const = 0;

protected:
    // The section this saver keeps a component's values in.
    virtual QString SectionOf(const QString& Key) const { return Key; }

private:
    QPointer<TPropSaveMain> FPropSaveMain;
};

struct TLimitRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int MinWidthHeight = 30;
};

// Stores a control's bounds ("Left", "Right", "Top", "Bottom") in its section
// plus "_XY"; with LimitToRect a restored rectangle is kept inside LimitRect.
class TPositionPropSave : public TCustomPropSave {
    Q_OBJECT
public:
    using TCustomPropSave::TCustomPropSave;

    bool LimitToRect = false;
    TLimitRect LimitRect;

    void ReadWriteComponent(bool Write, TPropSaveFile& File, const QString& Key,
                            QObject* Component) override;
    bool CanSave(QObject* Component) const override;
    // Cuts a rectangle at the right and bottom edges of LimitRect and keeps
    // its left and top edges inside; at least MinWidthHeight wide and high.
    TRect LimitBounds(TRect Bounds) const;
    // The section of the bounds stored under Key, a window's among them.
    static QString PositionSection(const QString& Key) { return Key + QStringLiteral("_XY"); }

protected:
    QString SectionOf(const QString& Key) const override { return PositionSection(Key); }
};

// Stores the value of standard controls, by the first class that matches:
//  1 memo (QPlainTextEdit, QTextEdit)     lines: "ItemsCount", "Item%d"
//  2 list box (QListWidget, TCheckListBox) items (unless the name holds the
//    no-store marker), "Selected%d" with multiple selection or else
//    "ItemIndex", "Checked%d" for a TCheckListBox
//  3 combo box (QComboBox)                 items as 2; "ItemIndex" when not
//    editable, else "Text"
//  4 check box (QCheckBox)                 "State": 0 unchecked, 1 checked, 2 grayed
//  5 radio group (TRadioGroup)             "ItemIndex"
//  6 radio button (QRadioButton)           "Checked"
//  7 edit (QLineEdit, TbEditNum among them) "Text"
//  8 menu item (QAction)                   "Checked"
//  9 tab control (QTabBar)                 "ItemIndex"
// 10 page control (QTabWidget)             "ItemIndex"
// 11 colour box (TColorBox)                "Color", 0x00BBGGRR as signed decimal
// 12 date picker (TDateTimePicker, QDateTimeEdit) "Date" (no time of day),
//    "DateChecked" when the picker shows its check box
class TStdCtrlPropSave : public TCustomPropSave {
    Q_OBJECT
public:
    using TCustomPropSave::TCustomPropSave;

    void ReadWriteComponent(bool Write, TPropSaveFile& File, const QString& Key,
                            QObject* Component) override;
    bool CanSave(QObject* Component) const override;
};

// When the form saver reads and writes.
enum TPropSaveEvents : std::uint8_t {
    pseFormCreateDestroy, // read in OnCreate, write in OnDestroy
    pseFormShowHide,      // read in OnShow, write in OnHide
    pseNone               // never by itself
};

using TOnReadSaveProp = std::function<void(TPropSaveFile* PSFile, const QString& Key)>;

// Links a form to a settings file: at the moments PropSaveEvents names it
// reads or writes the form's position, size and state and runs its control
// savers (CtrlPosition, StdCtrl, and every control saver of the form linked
// to it). It must be owned by the form, and hooks the form's events in
// Loaded, chaining to the handlers the form already had.
class TPropSaveMain : public TComponent {
    Q_OBJECT
public:
    explicit TPropSaveMain(QObject* Owner = nullptr);

    void Loaded() override;

    // The form's name in the file; empty: the form's objectName().
    QString FormKey;
    // Keep a restored window on the desktop.
    bool FormLimitToScreen = true;
    // Save and restore the window's position, size and state (section
    // form key + "_XY": "WinMinMax" 0 normal, 1 minimized, 2 maximized,
    // then the outer bounds of its normal state).
    bool FormSavePos = true;
    TPropSaveEvents PropSaveEvents = pseFormCreateDestroy;
    // Called at the end of every write and of every read.
    TOnReadSaveProp OnSaveProperties;
    TOnReadSaveProp OnReadProperties;

    TPropSaveFile* PropSaveFile() const { return FPropSaveFile; }
    void SetPropSaveFile(TPropSaveFile* File) { FPropSaveFile = File; }
    TPositionPropSave* CtrlPosition() const { return FCtrlPosition; }
    TStdCtrlPropSave* StdCtrl() const { return FStdCtrl; }
    TForm* OwnerForm() const { return FOwnerForm; }

    QString GetFormKey() const;
    bool HasSavedPosition() const;
    // Reads (false) or writes (true) the window and runs the savers. Raises
    // what a saver raises (EAssertionFailed).
    void ReadWriteProperties(bool Write);

private:
    void ReadHandler(QObject* Sender, const TNotifyEvent& Saved);
    void WriteHandler(QObject* Sender, const TNotifyEvent& Saved);
    void ActivateHandler(QObject* Sender, const TNotifyEvent& Saved);

    QPointer<TForm> FOwnerForm;
    QPointer<TPropSaveFile> FPropSaveFile;
    TPositionPropSave* FCtrlPosition;
    TStdCtrlPropSave* FStdCtrl;
    bool FReadDone = false;
    bool FRestorePending = false;
    bool FMaximizePending = false;
    TRect FRestoreRect;
};
