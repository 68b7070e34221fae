// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class Form1;

// Starts Forkwell in the working folder: the application, the food table
// and the main window, which is shown and reads the food database on its
// way to the screen. run(window) then does the rest, normally the event
// loop, and its result is the program's exit status.
int startForkwell(int &argc, char **argv, const std::function<int(Form1 &)> &run);
