#pragma once

#include <initializer_list>
#include <string>

#include <windows.h>

// Real input, as a user's keyboard and mouse give it: through the system's input queue to the
// window with the focus or under the pointer. The program handles it in its own time; callers
// wait for what it should change.
namespace input {

// Presses the keys in order and releases them in reverse: {VK_CONTROL, VK_END} is Ctrl+End.
void Keys(std::initializer_list<WORD> aKeys);
// Types the text key by key, as a keyboard of the current layout would.
void Type(const std::string& str);
void MoveTo(POINT pt);
void LeftDown();
void LeftUp();
// Presses at one point, moves to the other in small steps as a hand does, and releases.
void Drag(POINT from, POINT to);
// A click with a key held, Shift or Ctrl (0: none).
void Click(POINT pt, WORD nHeldKey = 0);
void DoubleClick(POINT pt);

} // namespace input
