// Errors that escape an event handler. Qt cannot carry an exception through its
// event loop, so every handler the framework would call is called through
// DispatchEvent: an exception it raises is shown to the user in a critical
// message box with its message, and the window goes on with what it was doing.
#pragma once

#include "forms/NotifyEvent.h"

#include <QString>

#include <functional>

// Calls Handler (when set) with Sender; shows an escaping exception.
void DispatchEvent(const TNotifyEvent& Handler, QObject* Sender);

// Runs Body and shows an exception that escapes it; false when one did.
bool RunHandled(const std::function<void()>& Body);

// The critical box with the message of an escaped error (title: the
// application's title).
void ShowEventError(const QString& Message);

// Tests: the box is replaced by Sink (no modal loop); an empty Sink restores it.
void SetEventErrorSink(std::function<void(const QString&)> Sink);
