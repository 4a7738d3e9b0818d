// From the "演算" press to the result text in its box, with every event the press causes
// processed: validation, dispatch, the analysis run, the grid, the report, the suggestion.
// And "全选" then "删除" over 1,000 saved results: the time from the answer to the question
// until the window's thread is free again, which is the longest the window does not answer.
// And 排盘详情 built and painted, and its picture drawn at twice the size.
// Runs in a real main window; without a display on its own Xvfb.
#include <cstdlib>
#include <filesystem>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/testing.h>

#include "../tests/gui/XvfbServer.h"
#include "base/DayCount.h"
#include "gui/Fonts.h"
#include "gui/LabeledCombo.h"
#include "records/EasyDb.h"
#include "ui/CastingPanel.h"
#include "ui/ChartPicture.h"
#include "ui/ChartWin.h"
#include "ui/HistoryController.h"
#include "ui/MainPanel.h"
#include "ui/NumberBox.h"
#include "ui/ResultPanel.h"
#include "ui/ReviewWin.h"
#include "ui/TarvWin.h"
#include "update/UpdateIndex.h"
#include "update/window/UpdateWin.h"

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

void insertRows(const std::filesystem::path& home, int count) {
    sqlite3* raw = nullptr;
    sqlite3_open((home / "src" / "data" / "ssq.db").c_str(), &raw);
    sqlite3_exec(raw, "BEGIN;", nullptr, nullptr, nullptr);
    for (int i = 0; i < count; ++i)
        sqlite3_exec(raw,
                     "INSERT INTO tarv_table (ysname,ysindex,ysnumber,ysday,gzsxid,dong) "
                     "VALUES ('测试(2024年3月31日21时25分30秒)',1,'1234',45382.5,7,'0,0,0,0,0,0');",
                     nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
}

void deleteThousandTicked(benchmark::State& state) {
    constexpr int Rows = 1000;
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("orvenna_bench_delete_" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    {
        EasyDb store(home, WindowStoreBusyMs);
        auto* window = new TarvWin(store);
        window->showSplash = false;
        window->create();
        ResultPanel* result = window->mainPanel()->resultPanel();
        for (auto _ : state) {
            state.PauseTiming();
            insertRows(home, Rows);
            window->history().load();
            pump();  // the first activation, which fills the list again, comes here
            result->selectAll()->SetValue(true);
            wxCommandEvent all(wxEVT_CHECKBOX, result->selectAll()->GetId());
            all.SetInt(1);
            result->selectAll()->HandleWindowEvent(all);
            pump();
            wxButton* remove = result->deleteButton();
            wxCommandEvent press(wxEVT_BUTTON, remove->GetId());
            press.SetEventObject(remove);
            state.ResumeTiming();
            wxTEST_DIALOG(remove->HandleWindowEvent(press), wxExpectModal<wxMessageDialog>(wxID_YES));
            pump();
            state.PauseTiming();
            const bool emptied = result->itemCount() == 0;
            state.ResumeTiming();
            if (!emptied) {
                state.SkipWithError("rows left");
                break;
            }
        }
        window->Destroy();
        pump();
    }
    std::filesystem::remove_all(home);
}
BENCHMARK(deleteThousandTicked)->Unit(benchmark::kMillisecond)->Iterations(10);

// The update window on the worst index its bounds let through, from its making to the first
// paint done: the time the window's thread is busy with what a server wrote. The shapes are
// the longest body on one line without a blank, the most lines, and the longest version text
// of combining accents (after the accents are cut to two a character); shape 3 is an everyday
// index, for comparison.
void updateWindowOfTheWorstIndex(benchmark::State& state) {
    wxFrame owner(nullptr, wxID_ANY, L"owner");
    UpdateOffer offer;
    offer.productName = L"Orvenna";
    offer.currentVersion = L"V1.0.0";
    offer.verns = L"V1.1.0";
    offer.day = L"2026-12-01";
    offer.size = 1572864;
    offer.installerPath = std::filesystem::temp_directory_path() / "0123456789ABCDEF0123456789ABCDEF.exe";
    switch (state.range(0)) {
        case 0:
            offer.body = std::wstring(UpdateBodyMaxChars, L'更');
            break;
        case 1:
            for (int line = 0; line < UpdateBodyMaxLines; ++line)
                offer.body += std::wstring(UpdateBodyMaxChars / UpdateBodyMaxLines - 1, L'x') + L'\n';
            break;
        case 3:
            offer.body = L"修正了若干问题";
            break;
        default: {
            std::wstring accents;
            for (std::size_t i = 0; accents.size() < UpdateShortFieldMaxChars; ++i) accents += i % 3 ? L'\u0301' : L'e';
            offer.verns = shownIndexText(accents, false);
        }
    }
    for (auto _ : state) {
        auto* window = new UpdateWin(&owner);
        window->showUpdate(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT), offer);
        window->Update();
        pump();
        window->Destroy();
        pump();
    }
}
BENCHMARK(updateWindowOfTheWorstIndex)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->ArgName("shape")->Unit(benchmark::kMillisecond);

// Times windows from their making to their first paint: `open` makes and shows one; it is
// destroyed outside the timing.
template <class Open>
void timeWindows(benchmark::State& state, Open open) {
    for (auto _ : state) {
        wxWindow* window = open();
        window->Update();
        pump();
        state.PauseTiming();
        window->Destroy();
        pump();
        state.ResumeTiming();
    }
}

// 往期对照 over 10,000 reviewed casts, from the press to the painted window: the list is
// virtual, so only the rows on screen are made.
void pastCastsWindowOfTenThousand(benchmark::State& state) {
    wxFrame owner(nullptr, wxID_ANY, L"owner");
    CastReview review;
    for (int i = 0; i < 10'000; ++i) {
        ReviewedCast& cast = review.casts.emplace_back();
        cast.id = i + 1;
        cast.title = L"第" + std::to_wstring(i) + L"次(2026年12月8日20时)";
        cast.castTime = 46000 + i * 0.33;
        cast.match = i % 5 ? DrawMatch::Matched : DrawMatch::Pending;
        cast.draw = {daysFromCivil(2026, 12, 8), std::to_wstring(20000 + i), {1, 2, 3, 4, 5, 6}, i % 15};
        cast.score.positionHit = {true, false, true, i % 2 == 0, false, true};
        cast.score.positionHits = 3 + (i % 2 == 0);
        cast.score.expectedPositionHits = 3.0;
        review.totals.add(cast);
    }
    timeWindows(state, [&] {
        auto* window = new ReviewWin(&owner, review);
        window->Show();
        return window;
    });
}
BENCHMARK(pastCastsWindowOfTenThousand)->Unit(benchmark::kMillisecond);

// 排盘详情 from the press to the painted window, for a chart with moving lines; and its
// picture at twice the size, as 保存图片… draws it before the PNG is written.
void chartWindow(benchmark::State& state) {
    wxFrame owner(nullptr, wxID_ANY, L"owner");
    owner.SetFont(wxFont(wxFontInfo(9).FaceName(L"宋体")));
    Analysis analysis;
    CastRequest request;
    request.method = LineCasting;
    request.upperCode = L"011";
    request.lowerCode = L"101";
    request.movingFlags = {1, 0, -1, 0, 1, 0};
    request.zodiac = 5;
    request.castTime = 45382.5;
    if (!runAnalysis(request, analysis)) return state.SkipWithError("the cast did not run");
    if (state.range(0) == 0) {
        timeWindows(state, [&] {
            auto* window = new ChartWin(&owner);
            window->show(analysis);
            return window;
        });
    } else {
        const ChartSheet sheet = chartSheet(analysis, chartMarks(analysis));
        for (auto _ : state) benchmark::DoNotOptimize(chartImage(sheet, owner.GetFont(), 2.0, 2.0).GetWidth());
    }
}
BENCHMARK(chartWindow)->Arg(0)->Arg(1)->ArgName("picture")->Unit(benchmark::kMillisecond);

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
