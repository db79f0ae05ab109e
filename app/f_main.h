// The main window: pick a symbology, type a code, set the options and press
// Generate; the picture shows in the preview and can be copied or saved. Its
// settings components remember the choices and the window's place between
// runs.
#pragma once

#include "forms/Form.h"

#include <QIcon>
#include <QImage>
#include <QString>

#include <array>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class TbEditNum;
class TbHTMLLabel;
class TPropSaveFile;
class TPropSaveMain;
class TRadioGroup;

// The program's title: the application title and the window caption.
inline constexpr char16_t kProgramTitle[] = u"Barcode Generator";

// What the program sets up once its application object exists: the window
// font, the library's configuration and the application title.
void InitProgram();

// The about page the credits link opens, for a program in ProgramFolder: the
// build puts it beside the program, an installation among its data
// (share/barcodegen/ beside bin/). Beside the program when neither exists.
QString AboutPageFor(const QString& ProgramFolder);

class TMain : public TForm {
    Q_OBJECT
public:
    // SettingsFile names the settings file; empty (the program) is the
    // executable's path with ".ini" for its extension. Tests give each
    // window a file of its own.
    explicit TMain(const QString& SettingsFile = QString(), QWidget* Parent = nullptr);
    ~TMain() override;

    // The controls, by their names (objectName()).
    TRadioGroup* bcType;
    QPushButton* btCopy;
    QPushButton* btSave;
    QGroupBox* GroupBox1;
    QPushButton* btGen;
    QLineEdit* eCode;
    QCheckBox* chCheckSum;
    QCheckBox* chShowCode;
    QCheckBox* chBorder;
    TbEditNum* eBorder;
    QLabel* Label1;
    QLabel* img;
    TbHTMLLabel* lblAuthor;
    // The button icons: 0 Generate, 1 Copy, 2 Save.
    std::array<QIcon, 3> ImgList;
    TPropSaveFile* PropSaveFile1;
    TPropSaveMain* PropSaveMain1;

    // The picture of the last successful Generate (empty before): what the
    // preview shows, Copy copies and Save as writes.
    const QImage& Bitmap() const { return B; }

    // The handlers, with the sender as their argument.
    void FormCreate(QObject* Sender);
    void FormDestroy(QObject* Sender);
    void FormShow(QObject* Sender);
    void bcTypeClick(QObject* Sender);
    void eCodeChange(QObject* Sender);
    void btGenClick(QObject* Sender);
    void btCopyClick(QObject* Sender);
    void btSaveClick(QObject* Sender);

protected:
    // Enter anywhere but on another button presses the default button, Generate.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The controls in their places, with the button icons.
    void CreateControls();
    // The settings file and the saver of the window's place and controls.
    void CreateSavers(const QString& SettingsFile);
    void ConnectHandlers();
    void PressDefault();
    void ArrangeTabOrder();

    QImage B;
};
