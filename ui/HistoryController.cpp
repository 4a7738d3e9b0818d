#include "HistoryController.h"

#include <wx/checklst.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "ResultPanel.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "codec/TextFile.h"
#include "gui/LabeledEdit.h"
#include "records/DrawStore.h"
#include "records/StoredReview.h"
#include "system/Clock.h"
#include "ui/words/HistoryWords.h"
#include "ui/words/ReviewText.h"
#include "ui/words/StoreReason.h"

namespace orvenna {

namespace {

// A list kept out by a lock is asked for again this often until it is read.
constexpr int RetryMs = 1000;
// The directory whose store `store` is: EasyDb::databasePath's inverse.
std::filesystem::path programDirectoryOf(const EasyDb& store) {
    return store.path().parent_path().parent_path().parent_path();
}

// The import itself, beside the window's thread. The window's connection is the window's:
// this one opens its own on the same file, so that neither sees the other's transaction.
HistoryController::FileImport importDrawFile(const std::filesystem::path& programDir, const std::filesystem::path& file,
                                             const CastClock& clock, int waitMs, const std::atomic<bool>& cancelled) {
    const Result<std::string> text = readTextFile(file, DrawFileMaxBytes);
    if (!text) return {L"无法读取开奖数据文件:" + drawFileReason(text.error()), {}, false};
    if (cancelled) return {};
    EasyDb store(programDir, waitMs);
    const Result<DrawImport> imported = orvenna::importDraws(store, *text, clock);
    if (!imported) return {L"无法保存开奖数据:" + storeReason(imported.error()), {}, false};
    return {drawImportText(*imported), refusedLinesText(*imported), imported->report.added > 0};
}

}  // namespace

HistoryController::HistoryController(EasyDb& store, ResultPanel& result, CastingPanel& casting,
                                     const AnalysisPanel& analysis)
    : store_(store), history_(store), result_(result), casting_(casting), chart_(analysis), import_(result) {
    retry_.setHandler([this] { reloadPending(); });
}

// An import still running is waited for: its transaction ends whole, or not at all.
HistoryController::~HistoryController() {
    retry_.Stop();
    if (import_.busy()) {
        import_.cancel();
        wxEndBusyCursor();
    }
    result_.scoreLineOf = nullptr;
}

bool HistoryController::load() {
    const Status listed = history_.list(result_.history());
    result_.updateDeleteButton();
    stale_ = !listed && storeFailure(listed.error()) == StoreFailure::Locked;
    if (!stale_) retry_.Stop();
    if (listed && history_.readOnly()) say(L"数据库只读,记录无法保存或删除");
    if (listed) {
        showScores();
        return true;
    }
    const std::wstring reason = storeReason(listed.error());
    if (result_.itemCount() > 0)
        say(concat(L"历史记录不完整,只读出", result_.itemCount(), L"条:", reason));
    else
        say(L"无法读取历史记录:" + reason);
    if (stale_ && !retry_.IsRunning()) retry_.Start(RetryMs);
    return false;
}

void HistoryController::reloadPending() {
    if (stale_ && load()) say(L"历史记录已读取");
}

// The note and the title are cleared only once the record is stored: after a failure the
// user still has what they typed.
void HistoryController::save(const AnalysisRecord& record) {
    const Result<std::int64_t> saved = history_.save(record, result_.titleEdit()->text(), result_.noteEdit()->text());
    if (!saved) return say(std::wstring(SaveFailedText));
    say(L"保存成功");
    storeChanged.raise();
    load();
    result_.clearEntry();
    // 保存 may have gone grey with the cleared title: the keyboard goes on from the list
    // that now shows the record, not from the top of the window.
    result_.historyList()->SetFocus();
}

// The ticked rows go in one transaction: all of them, or after a failure none, and then the
// list stays as it is, which is still what the database holds.
void HistoryController::deleteTicked() {
    // Enter alone must not delete: the default answer is 否.
    wxMessageDialog question(wxGetTopLevelParent(&result_), L"确定需要删除当前所选择的历史数据吗?", L"询问:",
                             wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
    // The buttons speak the program's language, whatever the system's is.
    question.SetYesNoLabels(L"是", L"否");
    if (question.ShowModal() != wxID_YES) return;
    if (const Status removed = history_.remove(result_.tickedIds()); !removed)
        return say(L"删除失败:" + storeReason(removed.error()));
    result_.removeTicked();
    storeChanged.raise();
    // 删除 is grey now that nothing is ticked; the keyboard stays with the list.
    result_.historyList()->SetFocus();
}

// Each item the store listed has a tooltip that says how its cast fared, reckoned when the
// tooltip is first shown: a list of thousands is not cast again whole on every save, delete
// or start. What the list shows or the draws changed is reckoned anew.
void HistoryController::showScores() {
    drawDays_.reset();
    draws_.reset();
    listed_.clear();
    for (int i = 0; i < result_.itemCount(); ++i) listed_.insert(result_.itemId(i));
    result_.forgetScores();
    result_.scoreLineOf = [this](std::int64_t id) { return listed_.count(id) ? scoreLineOf(id) : std::wstring(); };
}

std::optional<ReviewedCast> HistoryController::review(const YsModel& record) {
    if (!draws_) {
        Result<std::vector<Draw>> listed = DrawStore(store_).draws(localDay(systemClock()));
        if (!listed) return std::nullopt;
        draws_ = std::move(listed).value();
        drawDays_.emplace(*draws_);
    }
    return reviewCast(savedCast(record), *drawDays_, systemClock(), analysis_);
}

// Where the row or the draws cannot be read, the tooltip gives the title alone.
std::wstring HistoryController::scoreLineOf(std::int64_t id) {
    const Result<YsModel> record = history_.load(id);
    if (!record) return {};
    const std::optional<ReviewedCast> cast = review(*record);
    return cast ? scoreLine(*cast) : std::wstring();
}

bool HistoryController::importDraws(const std::filesystem::path& file) {
    if (import_.busy()) {
        say(std::wstring(DrawImportBusyText));
        return false;
    }
    // The clock is read here: the worker touches nothing of the window's.
    const bool started = import_.start(
        [dir = programDirectoryOf(store_), file, clock = systemClock(), wait = importWaitMs](
            const std::atomic<bool>& cancelled) { return importDrawFile(dir, file, clock, wait, cancelled); },
        [this](const FileImport& done) { finishImport(done); });
    if (!started) return false;
    wxBeginBusyCursor();
    say(std::wstring(DrawImportRunningText));
    return true;
}

void HistoryController::finishImport(const FileImport& done) {
    wxEndBusyCursor();
    if (done.added) {
        showScores();
        storeChanged.raise();
    }
    say(done.said);
    if (!done.refused.empty()) linesRefused.raise(done.refused);
}

void HistoryController::drawKept() {
    showScores();
    storeChanged.raise();
}

void HistoryController::replay(std::int64_t id) {
    if (id == 0) return;
    const Replay replay = history_.prepareReplay(id);
    if (replay) {
        casting_.restore(replay.request);
        // A replay of a drawn cast names its draw and score after the cast's own message.
        if (checkRequest(replay.request).casts()) noteScoreOf(replay.record);
        return;
    }
    // The list named a row that another program deleted: it shows what is there again.
    if (replay.refusal == ReplayRefusal::Unreadable && replay.error.code == NoSuchRow) load();
    // Everything else stays as it was; the user is told why.
    say(replayRefusalText(replay));
}

// The score is the cast's as first made. Which replays show other digits is not told by the
// method: what the replay shows is compared with what the cast had.
void HistoryController::noteScoreOf(const YsModel& record) {
    if (const std::optional<ReviewedCast> cast = review(record); cast && cast->match == DrawMatch::Matched)
        scoreNoted.raise(replayScoreText(*cast, chart_.result().suggestion));
}

}  // namespace orvenna
