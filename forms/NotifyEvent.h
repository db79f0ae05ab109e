// The framework's plain event: a handler that gets the object the event is about.
#pragma once

#include <functional>

class QObject;

using TNotifyEvent = std::function<void(QObject* Sender)>;
