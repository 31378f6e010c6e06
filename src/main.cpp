#include "engine/Shell.h"

int main(int argc, char** argv) { return shellMain(argc, argv); }
