#include "menus/UploadResult.h"

#include "ui/AppText.h"
#include "ui/MenuItemButton.h"
#include "ui/MessageViewer.h"
#include "engine/HttpRequest.h"
#include "menus/ServerText.h"

UploadResult::Outcome UploadResult::take(HttpRequest& request, MessageViewer& viewer, MenuItemButton& next) {
    const int state = request.getState();
    if (state != HttpRequest::STATE_DONE && state != HttpRequest::STATE_FAILED) return PENDING;
    request.setState(HttpRequest::STATE_IDLE);
    if (state == HttpRequest::STATE_DONE) {
        viewer.addMessage(AppText::text(u"CONNECTED"));
        for (const WString& line : ServerText::lines(request.getReply())) viewer.addMessage(line);
        viewer.addMessage(AppText::text(u"DONEDOT"));
        next.caption = AppText::text(u"FINISH");
        next.bDisabled = false;
        return SUCCEEDED;
    }
    viewer.addMessage(ServerText::clean(request.getErrorText()));
    viewer.addMessage(AppText::text(u"CHECKCONNECTION"));
    viewer.addMessage(AppText::text(u"FAILED"));
    return FAILED;
}
