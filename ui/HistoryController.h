// The saved predictions as the main window offers them: the history list (read again a moment
// later while another program's lock keeps it out), saving the current cast, deleting the
// ticked rows and replaying one. What the user must know goes to `statusText`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/CastReview.h"
#include "gui/BackgroundTask.h"
#include "gui/Event.h"
#include "gui/WindowTimer.h"
#include "records/CastHistory.h"

namespace orvenna {

class AnalysisPanel;
class CastingPanel;
class ResultPanel;

class HistoryController {
public:
    // Lists, saves and deletes in `result`; a replay is restored on `casting` and shown on
    // `analysis`. The store and the panels outlive the controller.
    HistoryController(EasyDb& store, ResultPanel& result, CastingPanel& casting, const AnalysisPanel& analysis);
    ~HistoryController();
    HistoryController(const HistoryController&) = delete;
    HistoryController& operator=(const HistoryController&) = delete;

    // Fills the history list from the store; a failure is said, and a list kept out by
    // another program's lock is read again a moment later. False on a failure.
    bool load();
    // Reads the list again when the last read was kept out by a lock.
    void reloadPending();
    bool pending() const { return stale_; }

    // Saves `record` under the title and with the note the result panel holds.
    void save(const AnalysisRecord& record);
    // Asks first, then deletes the ticked rows.
    void deleteTicked();
    // Reads, checks and stores the past draws of a CSV file (UTF-8 or GB18030) off the
    // window's thread, under a busy cursor, then says what it did and lists the lines it
    // left (linesRefused). One import at a time: false, and said, while one runs.
    bool importDraws(const std::filesystem::path& file);
    bool importing() const { return import_.busy(); }
    // How long an import waits for another program's lock before it gives up: nobody waits on
    // it but its own busy cursor.
    int importWaitMs = 3000;
    // A draw fetched from the results page was kept: the scores are reckoned with it.
    void drawKept();
    // Loads record `id` and casts it again. Only the status changes when the record cannot be
    // read or holds a method or zodiac that no cast knows.
    void replay(std::int64_t id);

    Event<const std::wstring&> statusText;
    // A replayed cast's draw and score, to follow what the cast itself said; it names the
    // digits scored where the replay shows others.
    Event<const std::wstring&> scoreNoted;
    // The lines of an imported file that were not stored, each with its line and reason.
    Event<const std::vector<std::wstring>&> linesRefused;
    // After a save, a delete, an import that added draws and a fetched draw kept: what the
    // store holds changed.
    Event<> storeChanged;

    // What importing a file came to, made beside the window's thread and said on it.
    struct FileImport {
        std::wstring said;                  // for the status bar
        std::vector<std::wstring> refused;  // the lines left
        bool added = false;                 // the store holds new draws
    };

private:
    void say(const std::wstring& text) { statusText.raise(text); }
    void showScores();
    // `record` against the stored draws (read once until showScores()); nothing where they
    // cannot be read.
    std::optional<ReviewedCast> review(const YsModel& record);
    std::wstring scoreLineOf(std::int64_t id);
    void noteScoreOf(const YsModel& record);
    void finishImport(const FileImport& done);

    EasyDb& store_;
    std::optional<std::vector<Draw>> draws_;
    std::optional<DrawDays> drawDays_;         // over draws_
    Analysis analysis_;                        // the reviews' working space
    std::unordered_set<std::int64_t> listed_;  // the ids the store listed last
    CastHistory history_;
    ResultPanel& result_;
    CastingPanel& casting_;
    const AnalysisPanel& chart_;  // shows what a replay cast
    // The list could not be read because the database was locked; it is asked again on the
    // retry timer and at the next activation.
    bool stale_ = false;
    WindowTimer retry_;
    // Last: it goes first, waiting for an import still running.
    BackgroundTask<FileImport> import_;
};

}  // namespace orvenna
