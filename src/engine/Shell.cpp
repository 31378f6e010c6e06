#include "engine/Shell.h"

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"

int shellMain(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) commandLineArgs.push_back(utf8ToWide(argv[i]));
    Qel* engine = new Qel();
    qelLog(u"shellMain", u"Started.");
    delete engine;
    return 0;
}
