#pragma once
// Runs code under a structured exception handler of the program's own: a
// processor fault inside (an access violation on a damaged stack, say) returns
// control to the caller instead of ending the process. The crash handler and
// the stack walk run under it, so that a report cannot turn into a second crash.

// Runs body(context); false when it raised a continuable exception, which the
// guard then contains. Non-continuable exceptions pass through.
bool RunGuarded(void (*body)(void* context), void* context);

template <typename Body>
bool RunGuarded(Body& body) {
  return RunGuarded([](void* context) { (*static_cast<Body*>(context))(); }, &body);
}
