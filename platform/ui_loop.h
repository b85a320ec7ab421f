// The pieces of the message loop that the window logic drives itself.
#pragma once

enum class MousePointer { Default, Hourglass };

class UiLoop {
 public:
  virtual ~UiLoop() = default;
  // One turn of the message loop: every message already queued is handled
  // (input, repaints, a close request that ends the program), then it returns.
  virtual void DoEvents() = 0;
  // The pointer shown over every window of the program.
  virtual void SetMousePointer(MousePointer pointer) = 0;
};
