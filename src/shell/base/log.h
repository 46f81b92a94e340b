#pragma once
// Diagnostic lines appended to "plovermix.log" in the working directory. Each
// call opens, writes and closes the file, so a message is on disk at once.
// Callers' formats begin with "\n"; nothing is added. While held, messages are
// dropped: frames replayed for a seek say nothing the run has not said.

void write_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void hold_log(bool hold);
