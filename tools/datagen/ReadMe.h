#pragma once
// Texts written beside the program: the static settings and the player's guide.

#include <string>

namespace datagen {

// "VeskDiruzuri.cfg.static": the edition's fixed settings, every key the engine requires.
std::string staticSettings();
// "readme.htm": how to play.
std::string readMe();

}  // namespace datagen
