// Mirvo, the desktop application.
#include "app/main/startup.h"

int main(int argc, char** argv) { return mirvo::main::runMirvo(argc, argv); }
