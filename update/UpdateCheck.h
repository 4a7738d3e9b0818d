// The question to the update server a few seconds after start: off the window's thread,
// once a day at most, and a newer build handed to whoever shows it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "UpdateIndex.h"
#include "UpdatePanel.h"
#include "framework/BackgroundTask.h"

namespace orvenna {

// What the main window does with a check's answer.
class UpdateObserver {
public:
    virtual ~UpdateObserver() = default;
    // A newer build than this one is offered: show it (the update window).
    virtual void showUpdateOffer(UpdateOffer offer) = 0;
};

// Bounds of the index request: it is small, and a server that does not answer in time is
// asked again on another day.
inline constexpr long UpdateIndexConnectTimeoutMs = 5000;
inline constexpr long UpdateIndexTotalTimeoutMs = 15000;
inline constexpr std::size_t UpdateIndexMaxBytes = std::size_t{1} << 20;

class UpdateCheck {
public:
    // Answers come back through `owner`'s event queue; the check goes before the owner does.
    UpdateCheck(wxEvtHandler& owner, UpdateObserver& observer) : task_(owner), observer_(observer) {}

    // The update server's base address ("update_url"; empty: no check at all) and the
    // directory of config.ini and of a downloaded installer.
    void configure(std::string updateUrl, std::filesystem::path programDir);

    // True when there is a server to ask and no newer build was offered today.
    bool dueToday() const;

    // Asks the server for its index; a newer build is written to config.ini ("update_file"
    // and, once shown, "update_day") and shown through the observer. One check at a time.
    void start();
    // Stops a check still waiting for the server and drops its answer.
    void cancel() { task_.cancel(); }
    // From start until its answer has been dealt with.
    bool running() const { return task_.busy(); }

private:
    void answer(const std::optional<UpdateIndex>& index);
    std::filesystem::path configFile() const { return programDir_ / "config.ini"; }

    BackgroundTask<std::optional<UpdateIndex>> task_;
    UpdateObserver& observer_;
    std::string updateUrl_;
    std::filesystem::path programDir_;
};

// Today as "update_day" holds it: "2026年12月7日".
std::wstring todayText();

}  // namespace orvenna
