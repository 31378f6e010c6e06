#include "engine/RPC.h"

#include "engine/ErrorManager.h"
#include "engine/NetRole.h"
#include "engine/Packet.h"
#include "engine/QelBase.h"
#include "engine/RPCNetDelete.h"

RPCClassRecord RPC::classRecord(ClassRecord::hashName(u"RPC"), u"RPC", nullptr, +[]() -> RPC* { return new RPC(); });
ClassRecord* RPC::getClass() const { return &RPC::classRecord; }

void RPC::netSerialize(Packet& packet) { packet.doPointer2(&pTarget); }

bool RPC::executeRemotely() {
    NetRole* role = NetRole::current();
    if (!role) return false;
    if (!bClientMayCall && !role->bServer && bRunOnServer && !role->bExecutingServerCall) {
        QEL_FATAL(u"RPC::executeRemotely", u"Can't call '%s::%s' client-side.", pTarget ? pTarget->getClass()->name : WString(u"NULL"),
                  getClass()->name);
    }
    if (role->bServer) return bRunOnClient && !role->bExecutingClientCall;
    return bClientMayCall && bRunOnServer && !role->bExecutingServerCall;
}

void RPC::executeLocally() {
    NetRole* role = NetRole::current();
    // Without a role this side is the only one, and acts as the server.
    const bool allowed = (!role || role->bServer) ? bRunOnServer : bRunOnClient;
    if (!allowed) return;
    if (!role) {
        execute();
        return;
    }
    bSavedServerCall = role->bExecutingServerCall;
    bSavedClientCall = role->bExecutingClientCall;
    role->bExecutingServerCall = bRunOnServer;
    role->bExecutingClientCall = bRunOnClient;
    execute();
    role->bExecutingServerCall = bSavedServerCall;
    role->bExecutingClientCall = bSavedClientCall;
}

void RPC::netDelete(QelBase* object) {
    if (!object) return;
    NetRole* role = NetRole::current();
    RPCNetDelete call;
    call.pTarget = role ? role->pAnchor : nullptr;
    call.pObject = object;
    call.bRunOnServer = true;
    call.bRunOnClient = true;
    call.bClientMayCall = false;
    if (call.executeRemotely()) role->sendRPC(call);
    call.executeLocally();
}

RPC* RPC::create(const ClassRecord* record) {
    const auto* callRecord = dynamic_cast<const RPCClassRecord*>(record);
    return callRecord && callRecord->callFactory ? callRecord->callFactory() : nullptr;
}
