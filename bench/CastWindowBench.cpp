// From the "演算" press to the result text in its box, with every event the press causes
// processed: validation, dispatch, the analysis run, the grid, the report, the suggestion.
// Runs in a real main window; without a display on its own Xvfb.
#include <cstdlib>
#include <filesystem>

#include <benchmark/benchmark.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/init.h>

#include "../tests/gui/XvfbServer.h"
#include "framework/Fonts.h"
#include "records/EasyDb.h"
#include "ui/CastingPanel.h"
#include "ui/LabeledCombo.h"
#include "ui/MainPanel.h"
#include "ui/NumberBox.h"
#include "ui/ResultPanel.h"
#include "ui/TarvWin.h"

namespace {

using namespace orvenna;

void pump() {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
}

void choose(wxChoice* list, int index) {
    list->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, list->GetId());
    event.SetEventObject(list);
    event.SetInt(index);
    list->HandleWindowEvent(event);
}

void castToResult(benchmark::State& state) {
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("orvenna_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    {
        EasyDb store(home);
        auto* window = new TarvWin(store);
        window->showSplash = false;
        window->create();
        CastingPanel* casting = window->mainPanel()->castingPanel();
        choose(casting->methodChoice()->list(), static_cast<int>(state.range(0)));
        choose(casting->zodiacChoice()->list(), 7);
        pump();

        wxButton* cast = casting->castButton();
        // Number casting alternates two numbers, so every press changes the whole chart.
        const wchar_t* numbers[2] = {L"20261207", L"1234"};
        std::size_t turn = 0;
        for (auto _ : state) {
            if (state.range(0) == 1) casting->request().numberText = numbers[turn++ % 2];
            wxCommandEvent press(wxEVT_BUTTON, cast->GetId());
            press.SetEventObject(cast);
            cast->HandleWindowEvent(press);
            pump();
            benchmark::DoNotOptimize(window->mainPanel()->resultPanel()->resultBox()->GetLastPosition());
        }
        if (window->mainPanel()->resultPanel()->resultText().empty()) state.SkipWithError("no result text");
        window->Destroy();
        pump();
    }
    std::filesystem::remove_all(home);
}
BENCHMARK(castToResult)->Arg(1)->Arg(3)->ArgName("method")->Unit(benchmark::kMillisecond);

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    XvfbServer xvfb;
    setenv("NO_AT_BRIDGE", "1", 1);
    orvenna::useProgramFonts();
    if (!std::getenv("DISPLAY") && !xvfb.start()) return 1;
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    wxTheApp->OnExit();
    wxEntryCleanup();
    benchmark::Shutdown();
    return 0;
}
