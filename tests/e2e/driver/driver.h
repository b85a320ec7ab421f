// Works the real setup.exe from outside, as a user and as assistive
// technology would: finds its windows, reads every control, clicks, types,
// answers message boxes and closes windows. Every wait is bounded: a message
// to a window that does not answer, or a window that never takes input,
// fails the test instead of hanging the run.
#pragma once

#include "tests/e2e/driver/controls.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/message_boxes.h"
#include "tests/e2e/driver/process.h"
#include "tests/e2e/driver/screen.h"
#include "tests/e2e/driver/utf8.h"
#include "tests/e2e/driver/wait.h"
