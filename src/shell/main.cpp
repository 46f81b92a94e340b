#include "shell/app.h"

int main(int argc, char** argv) { return run_app(argc, argv); }
