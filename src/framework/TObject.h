#pragma once

#include <functional>

// The base of every framework object that is handed to event handlers as their sender.
class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// Modifier keys and mouse buttons held during an input event.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
