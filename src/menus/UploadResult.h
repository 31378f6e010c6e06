#pragma once
// What an upload page shows once its request has ended: the server's lines and FINISH on NEXT
// after a success, the failure with advice after an error.

class HttpRequest;
class MenuItemButton;
class MessageViewer;

class UploadResult {
public:
    enum Outcome { PENDING, SUCCEEDED, FAILED };
    // PENDING while the request runs; else the outcome, shown once (the request is set idle).
    static Outcome take(HttpRequest& request, MessageViewer& viewer, MenuItemButton& next);
};
