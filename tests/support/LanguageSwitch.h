#pragma once
// Sets the engine's reading order for a test (the text-id header cannot share a source file with
// the graphics headers).

void setRightToLeftForTest(bool rightToLeft);
