#pragma once

#include <QString>

// Runs the program: the single-instance rule, the application object, the
// main and login windows, and the message loop until the program ends.
// exeName is the full path of the running executable. Always answers 0.
int RunProgram(const QString& exeName);
