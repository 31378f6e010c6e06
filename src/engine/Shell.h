#pragma once
// The process: command line, single instance, window, message loop and the engine's lifetime.

// The program's entry, called by main(); returns the exit status.
int shellMain(int argc, char** argv);
