// TbEditNum: a single-line edit for numbers. It lets through only the keys a
// number of its Style needs, steps with the arrow keys, keeps the value in an
// optional range and on an optional step grid and shows it through Format. A
// text that is not a number cannot be left: the field takes the focus back.
// Values are doubles: the text never shows more than 15 significant digits.
#pragma once

#include <QLineEdit>

#include <cstdint>
#include <optional>

enum enStyle : std::uint8_t { enInteger, enFloat };

class TbEditNum : public QLineEdit {
    Q_OBJECT
    // Value is what a form stores; Text and AsInteger follow from it.
    Q_PROPERTY(double Value READ GetValue WRITE SetValue)
    Q_PROPERTY(int AsInteger READ GetAsInteger WRITE SetAsInteger STORED false)
    Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(double StepValue READ StepValue WRITE SetStepValue)
    Q_PROPERTY(bool StepOnly READ StepOnly WRITE SetStepOnly)
    Q_PROPERTY(QString Format READ Format WRITE SetFormat)

public:
    explicit TbEditNum(QWidget* parent = nullptr);

    enStyle Style() const { return FStyle; }
    void SetStyle(enStyle v) { FStyle = v; }
    // The range holds only while MinValue or MaxValue is not zero; a MinValue
    // above MaxValue wins.
    double MinValue() const { return FMinValue; }
    void SetMinValue(double v) { FMinValue = v; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double v) { FMaxValue = v; }
    double StepValue() const { return FStepValue; }
    void SetStepValue(double v) { FStepValue = v; }
    // Snap to multiples of StepValue (after the range, so a snapped value may leave it).
    bool StepOnly() const { return FStepOnly; }
    void SetStepOnly(bool v) { FStepOnly = v; }
    const QString& Format() const { return FFormat; }
    void SetFormat(const QString& S);

    // The text as a number; 0 when it is not one.
    double GetValue() const;
    void SetValue(double V);
    // The validated value rounded half to even, limited to the int range; 0
    // when the text is not a number.
    int GetAsInteger();
    void SetAsInteger(int N) { SetValue(N); }

    // Parses the text, applies range and grid and rewrites it in Format.
    // False, with the text left as it is, when the text is not a number.
    bool ValidateText();
    void StepUp() { SetValue(GetValue() + FStepValue); }
    void StepDown() { SetValue(GetValue() - FStepValue); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool Accepts(QChar c) const;
    QString FormatValue(double v) const;
    std::optional<double> TextValue() const;
    void Show(double v);

    enStyle FStyle = enInteger;
    double FMinValue = 0;
    double FMaxValue = 0;
    double FStepValue = 0;
    bool FStepOnly = false;
    QString FFormat;
    // The text the field last wrote and the value it showed: a Format with
    // grouping or literal text writes texts that do not read back as numbers.
    QString FShownText;
    double FShownValue = 0;
};
