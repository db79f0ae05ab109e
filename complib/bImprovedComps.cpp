#include "bImprovedComps.h"

#include "bFloatFormat.h"
#include "btool.h"

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

double TbEditNum::GetValue() const {
    return StrToFloat(text(), DecimalSep()).value_or(0.0);
}

void TbEditNum::SetValue(double V) {
    setText(FormatValue(V));
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
    if (!text().isEmpty()) {
        const auto parsed = StrToFloat(text(), DecimalSep());
        if (!parsed) return false;
        v = *parsed;
    }
    if (FMinValue != 0 || FMaxValue != 0) {
        if (v > FMaxValue) v = FMaxValue;
        if (v < FMinValue) v = FMinValue;
    }
    if (FStepOnly && FStepValue != 0) {
        const double snapped = RoundHalfEven(v / FStepValue) * FStepValue;
        if (std::isfinite(snapped)) v = snapped;
    }
    setText(FormatValue(v));
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
