#include "show/run_show.h"

#include "shell/render_helpers.h"

void run_show() { request_quit(); }
