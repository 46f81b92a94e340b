#pragma once
// The whole show: loading screens, the frame loop on the music clock, teardown.
// Returns after request_quit().

void run_show();
