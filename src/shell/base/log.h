#pragma once
// Diagnostic lines appended to "plovermix.log" in the working directory. Each
// call opens, writes and closes the file, so a message is on disk at once.
// Callers' formats begin with "\n"; nothing is added.

void write_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
