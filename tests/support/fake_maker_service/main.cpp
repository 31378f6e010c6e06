// The fake maker service as a program, for runs of the real game executable (which reaches it
// through VESK_MAKER_HOST=127.0.0.1:<port>).
//
//   fake_maker_service [--fault NAME | --fault /path=NAME]... [--payload INI] [--record DIR]
//
// Prints the port on stdout once it listens (with --fault refused, the port of a socket that
// refuses every connection), then serves until SIGTERM or SIGINT. With --record, every request is
// written to DIR as it arrives: a line per request in DIR/requests.txt ("index path status
// body-length", then one indented "name<TAB>file name<TAB>size" line per part) and each part's
// bytes in DIR/<index>-<name>.bin.

#include <signal.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "support/FakeMakerService.h"

namespace {

int usage() {
    std::cerr << "usage: fake_maker_service [--fault NAME | --fault /path=NAME]... [--payload INI] [--record DIR]\n"
                 "faults: none empty-envelope wrong-length wrong-digest wrong-magic garbage plain-text control-text\n"
                 "        control-envelope huge-body stall refused not-found\n";
    return 2;
}

void record(const std::string& dir, size_t index, const FakeMakerService::Received& r) {
    std::ofstream list(dir + "/requests.txt", std::ios::app | std::ios::binary);
    list << index << ' ' << r.path << ' ' << r.status << ' ' << r.bodyLength << '\n';
    for (const FakeMakerService::Part& part : r.parts) {
        list << '\t' << part.name << '\t' << part.fileName << '\t' << part.data.size() << '\n';
        std::ofstream bytes(dir + "/" + std::to_string(index) + "-" + part.name + ".bin", std::ios::binary);
        bytes.write(part.data.data(), static_cast<std::streamsize>(part.data.size()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Signals are taken with sigtimedwait on this thread; every thread started later inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    FakeMakerService service;
    std::string recordDir;
    bool bRefuseAll = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return usage();
        const std::string value = argv[++i];
        if (arg == "--fault") {
            const size_t eq = value.find('=');
            const std::string name = eq == std::string::npos ? value : value.substr(eq + 1);
            const auto fault = FakeMakerService::faultFromName(name);
            if (!fault) return usage();
            if (eq == std::string::npos) {
                service.setFaultForAll(*fault);
                bRefuseAll = *fault == FakeMakerService::Fault::Refused;
            } else {
                service.setFault(value.substr(0, eq), *fault);
            }
        } else if (arg == "--payload") {
            service.setNetTestPayload(value);
        } else if (arg == "--record") {
            recordDir = value;
        } else {
            return usage();
        }
    }

    std::printf("%u\n", static_cast<unsigned>(bRefuseAll ? service.refusingPort() : service.port()));
    std::fflush(stdout);

    size_t written = 0;
    const timespec tick{0, 50 * 1000 * 1000};
    for (;;) {
        const int signal = sigtimedwait(&stopSignals, nullptr, &tick);
        if (!recordDir.empty()) {
            const auto all = service.received();
            for (; written < all.size(); ++written) record(recordDir, written, all[written]);
        }
        if (signal > 0) break;
    }
    return 0;
}
