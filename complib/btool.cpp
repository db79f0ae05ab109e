#include "complib/btool.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QPalette>
#include <QWidget>

#include <optional>

QString AppFolder() {
    // Before the application object exists Qt cannot tell its own path; the
    // kernel still can.
    const QString folder = QCoreApplication::instance()
                               ? QCoreApplication::applicationDirPath()
                               : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return AddBackslash(folder);
}

QString AddBackslash(const QString& Path) {
    if (Path.isEmpty() || Path.endsWith(u'/')) return Path;
    return Path + u'/';
}

QWidget* DialogOwner() {
    if (!qApp) return nullptr;
    QWidget* active = QApplication::activeWindow();
    if (!active) return nullptr;
    // An MDI frame would make the dialog one of its documents' siblings; the
    // application owns it instead.
    if (active->findChild<QMdiArea*>()) return nullptr;
    return active;
}

Qt::CursorShape SetScreenCursor(Qt::CursorShape Cursor) {
    if (!qGuiApp) return Qt::ArrowCursor;
    const QCursor* current = QGuiApplication::overrideCursor();
    const Qt::CursorShape previous = current ? current->shape() : Qt::ArrowCursor;
    if (Cursor == Qt::ArrowCursor) {
        if (current) QGuiApplication::restoreOverrideCursor();
    } else if (current) {
        QGuiApplication::changeOverrideCursor(QCursor(Cursor));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(Cursor));
    }
    return previous;
}

Qt::CursorShape ResetScreenCursor() {
    return SetScreenCursor(Qt::ArrowCursor);
}

namespace {
std::optional<QChar> decimalSepOverride;
}

QChar DecimalSep() {
    if (decimalSepOverride) return *decimalSepOverride;
    const QString sep = QLocale().decimalPoint();
    return sep.isEmpty() ? QChar(u'.') : sep.front();
}

void SetDecimalSep(QChar Sep) {
    if (Sep.isNull())
        decimalSepOverride.reset();
    else
        decimalSepOverride = Sep;
}

QColor ProbeThemedBodyColor() {
    if (!qGuiApp) return QColor(0xF0, 0xF0, 0xF0);
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
}
