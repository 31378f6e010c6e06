#include "menus/MakerPage.h"

#include "engine/HttpRequest.h"

WString MakerPage::url(WStringView path) { return u"http://" + HttpRequest::getMakerHost() + WString(path); }
