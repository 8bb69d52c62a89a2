// Scripted failures for the stand-ins: a test names a stand-in call and the
// error it must fail with, and the call fails so, on the chosen call from now,
// with its documented failure value and before it changes anything. Every
// stand-in entry point but GetLastError and SetLastError asks failureInjected()
// first, so every failure a caller can see from Windows can be produced on
// demand; the calls that cannot fail (GetSystemInfo, SendMessageW, ...) are
// only counted. Calls are counted for tests that care how often something was
// called.
#pragma once

#include "platform/platform.h"

namespace standin {

// The onCall-th call of `function` from now (1: the next one) fails with
// `error`, and so do the times - 1 calls after it (a negative times: every
// call from then on).
void injectFailure(const char* function, DWORD error, int onCall = 1, int times = 1);

// Forgets every scripted failure and every call count.
void clearFailures();

// For the stand-ins: counts the call and, when a failure is due, sets the last
// error and returns true.
bool failureInjected(const char* function);

// How often `function` was called since the last clearFailures().
int callCount(const char* function);

}  // namespace standin
