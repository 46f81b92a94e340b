#pragma once
// The program: options, the window, the device, the event loop whose first idle
// turn runs the show. Returns the exit status.

int run_app(int argc, char** argv);
