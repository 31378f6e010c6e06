#include "datagen/ReadMe.h"

#include "engine/ByteBuffer.h"
#include "engine/MemoryIniFile.h"

namespace datagen {

std::string staticSettings() {
    MemoryIniFile ini{ByteBuffer()};
    // Every language may be chosen; the first start follows the system's language.
    ini.setInt(-1, u"Language", u"singleLanguage");
    ini.setString(u"Language", u"languageMask", u"");
    // The holiday edition: its pictures, story lines and logo.
    ini.setBool(true, u"Edition", u"bHoliday");
    // Full-colour textures at one art pixel per layout pixel.
    ini.setInt(0, u"Graphics", u"ditherDepth");
    ini.setInt(1, u"Graphics", u"hq2x");
    return ini.toUtf8();
}

std::string readMe() {
    return R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Vesk Diruzuri - Holiday Edition</title>
<style>
body { font-family: "DejaVu Sans", Verdana, sans-serif; background: #eef4fb; color: #1b2a4a; max-width: 46em; margin: 2em auto; padding: 0 1em; line-height: 1.5; }
h1 { color: #d62839; }
h2 { border-bottom: 2px solid #bfe6ff; }
kbd { background: #fff; border: 1px solid #8090a0; border-radius: 3px; padding: 0 .3em; }
.colours span { display: inline-block; padding: 0 .6em; margin: .1em; border-radius: 4px; color: #000; }
</style>
</head>
<body>
<h1>Vesk Diruzuri &mdash; Holiday Edition</h1>
<p>The holiday trains are running late and every wagon still waits for its presents. You stand
at the bow beside the tracks: fill each wagon with presents of its own colour before the train
reaches the tunnel at the end of the line.</p>

<h2>Starting</h2>
<p>Run <code>VeskDiruzuri</code> from its folder; the data files beside it hold all pictures,
sounds and music. At the first start the game speaks your system's language (English,
French, German, Italian or Spanish; the options change it) and asks for your name. Your progress,
settings and high scores are kept in your user folder.</p>

<h2>How to play</h2>
<ul>
<li>Trains roll in along the tracks. Each wagon has one, two or three slots, and every slot shows
the colour of the present it wants.</li>
<li>Aim with the mouse and click to shoot the present on your bow. A present that hits a slot of
its colour stays there; a wrong one is marked with a cross until you replace it.</li>
<li>Right-click to throw out the hook: it pulls a present that landed in the wrong slot back
out, so that you can shoot the right one.</li>
<li>On stations with two launching spots, press <kbd>Space</kbd> or the middle mouse button to
move your bow to the other spot.</li>
<li>A wagon whose slots are all correctly filled is uncoupled and counts for points. Filling
several wagons in a row starts a chain and multiplies your score.</li>
<li>When a train reaches the tunnel with empty or wrong slots you lose a life. Finish the
station's trains to move on along the map; each town on the map is a new set of stations.</li>
</ul>

<h2>Power-ups</h2>
<p>Some slots carry shining baubles. Shoot a present of the slot's colour into it to collect it:</p>
<ul>
<li><b>Stop</b> halts the trains for a while; <b>Reverse</b> rolls them back.</li>
<li><b>Wildcard</b> gives you a rainbow present that fits any slot.</li>
<li><b>Colour bomb</b> fills every slot of one colour at once.</li>
<li><b>Fireball</b> burns away the present in the slot it hits: use it to fix mistakes.</li>
<li><b>Speed shot</b> makes your presents fly much faster for a while.</li>
<li><b>Heart</b> adds to your hearts, which bring extra lives; <b>Slow</b> slows the trains down.</li>
</ul>

<h2>Colours</h2>
<p class="colours">The eight present colours are
<span style="background:#ff1010">red &#9679;</span>
<span style="background:#ff8000">orange &#9632;</span>
<span style="background:#ffff00">yellow &#9650;</span>
<span style="background:#00c000">green &#9670;</span>
<span style="background:#00ffff">cyan &#9733;</span>
<span style="background:#0000ff;color:#fff">blue &#10010;</span>
<span style="background:#ff40ff">pink &#11042;</span>
<span style="background:#ffffff">white &#9829;</span>.
Every present carries its colour's symbol, and the colour-blind option in the game options shows
the same symbols on the wagons' slots.</p>

<h2>Keys</h2>
<ul>
<li>Click <b>MENU</b> at the top right of the screen to pause the game.</li>
<li><kbd>Esc</kbd> leaves a menu screen.</li>
<li><kbd>F9</kbd> saves a screenshot into your user folder.</li>
<li>Joysticks and touch screens work too: aim with the stick or touch where to shoot.</li>
</ul>

<h2>Options</h2>
<p>The options let you change the sound and music volume, the screen size and full-screen mode,
the level of detail and the language. Settings are saved when you leave the options.</p>
</body>
</html>
)";
}

}  // namespace datagen
