// The question to the update server a few seconds after start: off the window's thread,
// once a day at most, and a newer build handed to whoever shows it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "gui/BackgroundTask.h"
#include "system/Settings.h"
#include "update/OfferDecision.h"
#include "update/UpdateOffer.h"

namespace orvenna {

// What the main window does with a check's answer.
class UpdateObserver {
public:
    virtual ~UpdateObserver() = default;
    // A newer build than this one is offered: show it (the update window).
    virtual void showUpdateOffer(UpdateOffer offer) = 0;
    // A line for the status bar: an update address that is not https (nor http to a loopback
    // host) was refused, the server could not be asked, or its index did not verify.
    virtual void showUpdateNotice(const std::wstring& text) = 0;
};

// The status bar's line for a refused address.
inline constexpr std::wstring_view InsecureUpdateAddressText = L"更新地址不是https，已忽略本次更新";

class UpdateCheck {
public:
    // Answers come back through `owner`'s event queue; the check goes before the owner does.
    UpdateCheck(wxEvtHandler& owner, UpdateObserver& observer) : task_(owner), observer_(observer) {}

    // The update server's base address ("update_url"; empty: no check at all), the
    // directory of config.ini and of a downloaded installer, and the trusted public key.
    void configure(std::string updateUrl, std::filesystem::path programDir, std::filesystem::path keyFile);

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
    void answer(const Result<IndexDecision>& checked);
    std::filesystem::path configFile() const { return settingsFileIn(programDir_); }

    BackgroundTask<Result<IndexDecision>> task_;
    UpdateObserver& observer_;
    std::string updateUrl_;
    std::filesystem::path programDir_;
    std::filesystem::path keyFile_;
};

// Today as "update_day" holds it: "2026年12月7日".
std::wstring todayText();

}  // namespace orvenna
