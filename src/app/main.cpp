// impostra: the desktop program.
#include "app/DesktopProgram.h"

int main(int argc, char** argv) { app::runDesktopProgram(argc, argv); }
