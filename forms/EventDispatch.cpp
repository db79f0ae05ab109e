#include "forms/EventDispatch.h"

#include "forms/Form.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

namespace {
std::function<void(const QString&)> errorSink;
}

void SetEventErrorSink(std::function<void(const QString&)> Sink) {
    errorSink = std::move(Sink);
}

void ShowEventError(const QString& Message) {
    if (errorSink) {
        errorSink(Message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), ApplicationTitle(), Message);
}

bool RunHandled(const std::function<void()>& Body) {
    try {
        Body();
        return true;
    } catch (const std::exception& e) {
        ShowEventError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowEventError(QStringLiteral("Unknown error"));
    }
    return false;
}

void DispatchEvent(const TNotifyEvent& Handler, QObject* Sender) {
    if (Handler) RunHandled([&] { Handler(Sender); });
}
