#include "menus/ContextHelp.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuItemLink.h"
#include "ui/TextLabel.h"
#include "engine/Product.h"
#include "menus/MakerPage.h"

WString ContextHelp::documentationPath() { return getDataArchiveFolder() + u"readme.htm"; }

ContextHelp::ContextHelp() {
    bDeleteWhenDone = true;
    pPreHook = AppLink::introContext();
    pTitle = new TextLabel(0.0f, float(cornerY), 0.0f, AppText::text(u"HELPTITLE"), AppLink::fontLarge(), 0xFFFFFFFF);
    addChild(pTitle);
    pDocumentationButton = new MenuItemLink(0.0f, float(itemSpacing), 0.0f, AppText::text(u"DOCUMENTATION"),
                                            AppText::text(u"DOCUMENTATIONHINT"));
    pDocumentationButton->url = documentationPath();
    appendItem(pDocumentationButton);
    pOnlineHelpButton =
        new MenuItemLink(0.0f, 0.0f, 0.0f, AppText::text(u"ONLINEHELP"), AppText::text(u"ONLINEHELPHINT"));
    pOnlineHelpButton->url = MakerPage::url(u"/vesk/onlinehelp.php");
    appendItem(pOnlineHelpButton);
    pBackButton = new MenuItemClose(float(80 - cornerX), -float(cornerY), 0.0f, AppText::text(u"BACK"), u"");
    pBackButton->setWidth(160);
    appendItem(pBackButton);
}
