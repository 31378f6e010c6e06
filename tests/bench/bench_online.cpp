// CPU time of the network test page's frame that takes in the largest reply it accepts: 64 KiB of
// one-character lines, shown line by line. Bound: one frame at 60 Hz (16.7 ms).
//
// The reply comes from the fake maker service on loopback; only the frame that handles it is
// timed. Run by tools/bench.sh.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <thread>

#include "BenchBound.h"
#include "MenuBenchEngine.h"
#include "ui/MenuItemButton.h"
#include "ui/MessageViewer.h"
#include "engine/HttpRequest.h"
#include "engine/Utilities.h"
#include "menus/ContextNetworkWizard1.h"
#include "support/FakeMakerService.h"

namespace {

// The screens' engine, with the fake service answering the network test with the largest reply
// accepted.
struct Engine : MenuBenchEngine {
    Engine() : MenuBenchEngine("vesk-bench") {
        // The first four bytes must be printable for the reply to be shown as text.
        std::string lines = "List:\n";
        while (lines.size() < size_t(HttpRequest::maxReplyLength)) lines += "a\n";
        service.setPlainText(lines);
        service.setFault(FakeMakerService::netTestPath, FakeMakerService::Fault::PlainText);
        setenv("VESK_MAKER_HOST", service.host().c_str(), 1);
    }

    FakeMakerService service;
};

void BM_NetTestLargestReply(benchmark::State& state) {
    Engine e;
    for (auto _ : state) {
        state.PauseTiming();
        auto* wizard = new ContextNetworkWizard1();
        e.stack->pushContext(wizard);
        e.stack->tick(0, 0);
        wizard->nextButton->bClicked = true;
        e.stack->tick(0, 0);
        while (wizard->request->getState() == HttpRequest::STATE_RUNNING) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        state.ResumeTiming();
        e.stack->tick(0, 0);
        state.PauseTiming();
        if (wizard->nextButton->bDisabled || wizard->viewer->lines.empty() || wizard->viewer->lines.back() != u"Done.")
            state.SkipWithError("the reply was not handled");
        wizard->bDone = true;
        e.stack->tick(0, 0);
        state.ResumeTiming();
    }
    setBound(state, 16.7);
}

}  // namespace

BENCHMARK(BM_NetTestLargestReply)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) { return runMenuBenchmarks(argc, argv); }
