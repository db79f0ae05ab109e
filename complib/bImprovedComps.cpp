#include "complib/bImprovedComps.h"

#include "complib/bFloatFormat.h"
#include "complib/btool.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTimer>

#include <climits>
#include <cmath>

namespace {

// Set while a field pulls the focus back, so that the field it takes the focus
// from does not pull it back in turn: two fields with bad texts would
// otherwise pass the focus to and fro for ever.
bool reclaimingFocus = false;

double RoundHalfEven(double v) {
    if (std::fabs(v - std::trunc(v)) == 0.5) return 2.0 * std::round(v / 2.0);
    return std::round(v);
}

} // namespace

TbEditNum::TbEditNum(QWidget* parent) : QLineEdit(parent) {
    resize(40, height());
    SetValue(0);
}

void TbEditNum::SetFormat(const QString& S) {
    FFormat = S;
    ValidateText();
}

QString TbEditNum::FormatValue(double v) const {
    const QChar sep = DecimalSep();
    return FormatFloat(FFormat, v, sep, ThousandSepFor(sep));
}

std::optional<double> TbEditNum::TextValue() const {
    const QString t = text();
    const std::optional<double> parsed = StrToFloat(t, DecimalSep());
    // The field's own text stands for the value it showed where it does not
    // read back as that value to its 15 digits: grouping ("1,234"), literal
    // text ("5 kg", a zero section "'none'" or "4"), or nothing at all for a
    // section without placeholders. "NAN" and "INF" stand for nothing.
    const auto digits = [](double v) { return FloatToStrGeneral(v, u'.'); };
    if (t == FShownText && std::isfinite(FShownValue) &&
        (!parsed || digits(*parsed) != digits(FShownValue)))
        return FShownValue;
    return parsed;
}

double TbEditNum::GetValue() const {
    return TextValue().value_or(0.0);
}

void TbEditNum::Show(double v) {
    FShownValue = v;
    FShownText = FormatValue(v);
    setText(FShownText);
}

void TbEditNum::SetValue(double V) {
    Show(V);
    ValidateText();
    selectAll();
}

int TbEditNum::GetAsInteger() {
    if (!ValidateText()) return 0;
    const double v = RoundHalfEven(GetValue());
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

bool TbEditNum::ValidateText() {
    double v = 0;
    if (const std::optional<double> parsed = TextValue())
        v = *parsed;
    else if (!text().isEmpty())
        return false;
    if (FMinValue != 0 || FMaxValue != 0) {
        if (v > FMaxValue) v = FMaxValue;
        if (v < FMinValue) v = FMinValue;
    }
    if (FStepOnly && FStepValue != 0) {
        const double snapped = RoundHalfEven(v / FStepValue) * FStepValue;
        if (std::isfinite(snapped)) v = snapped;
    }
    Show(v);
    return true;
}

bool TbEditNum::Accepts(QChar c) const {
    if (c.unicode() < 32) return true; // backspace, clipboard shortcuts and the like
    if (c == u'+' || c == u'-' || (c >= u'0' && c <= u'9')) return true;
    return FStyle == enFloat && (c == u'E' || c == u'e' || c == DecimalSep());
}

void TbEditNum::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        StepUp();
        event->accept();
        return;
    case Qt::Key_Down:
        StepDown();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ValidateText();
        selectAll();
        event->accept();
        // The key goes no further; a window that acts on Enter listens to this.
        emit returnPressed();
        return;
    default:
        break;
    }
    // Ctrl combinations are shortcuts (paste among them), not typing, whatever
    // text the platform attaches to them.
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        const QString typed = event->text();
        for (QChar c : typed)
            if (!Accepts(c)) {
                event->accept();
                return;
            }
    }
    QLineEdit::keyPressEvent(event);
}

void TbEditNum::inputMethodEvent(QInputMethodEvent* event) {
    // Composed input bypasses keyPressEvent; it must pass the same filter.
    QString commit = event->commitString();
    commit.removeIf([this](QChar c) { return !Accepts(c); });
    if (commit != event->commitString())
        event->setCommitString(commit, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(event);
}

void TbEditNum::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A popup (the context menu) or another application taking over is not
    // leaving the field.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (ValidateText() || reclaimingFocus) return;
    // Taking the focus back from inside the focus change would fight it; do it
    // right after.
    QTimer::singleShot(0, this, [this] {
        reclaimingFocus = true;
        setFocus(Qt::OtherFocusReason);
        reclaimingFocus = false;
    });
}
