#pragma once
// The engine's language and reading order for a test (the text-id header cannot share a source
// file with the graphics headers).

void setTestLanguage(int language);
void setTestRightToLeft(bool rightToLeft);
