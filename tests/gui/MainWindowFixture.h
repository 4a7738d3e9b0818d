// A real main window over a record store in a fresh directory, with a fixed clock.
#pragma once

#include <functional>
#include <memory>

#include "GuiTest.h"
#include "gui/ChoiceButtons.h"
#include "gui/LabeledCombo.h"
#include "records/EasyDb.h"
#include "ui/AnalysisPanel.h"
#include "ui/CastingPanel.h"
#include "ui/LatestDrawsPanel.h"
#include "ui/MainPanel.h"
#include "ui/NumberBox.h"
#include "ui/ResultPanel.h"
#include "ui/TarvWin.h"

namespace orvenna::gui {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = std::make_unique<EasyDb>(home.path());
        window = new TarvWin(*store);
        window->showSplash = false;
        window->create();
        setClock(clockAt(2024, 3, 31, 12, 0, 0));
        pump();
    }
    void TearDown() override {
        delete window;  // now, before the store it uses goes
        window = nullptr;
        pump();
    }

    // Closes the window (and with it the store), opens the store again and makes a new
    // window, set up by `configure` before it is created.
    void reopen(const std::function<void(TarvWin&)>& configure, int busyTimeoutMs = 3000) {
        delete window;  // now, before its store goes
        window = nullptr;
        pump();
        store = std::make_unique<EasyDb>(home.path(), busyTimeoutMs);
        window = new TarvWin(*store);
        window->showSplash = false;
        configure(*window);
        window->create();
        pump();
    }

    void setClock(CastClock clock) {
        window->mainPanel()->setClock([clock] { return clock; });
    }

    CastingPanel* casting() const { return window->mainPanel()->castingPanel(); }
    AnalysisPanel* analysis() const { return window->mainPanel()->analysisPanel(); }
    ResultPanel* result() const { return window->mainPanel()->resultPanel(); }
    std::wstring status() const { return window->statusMessage(); }

    void chooseMethod(int index) { choose(casting()->methodChoice()->list(), index); }
    void chooseZodiac(int index) { choose(casting()->zodiacChoice()->list(), index); }
    void pressCast() { click(casting()->castButton()); }
    void typeNumber(std::wstring_view text) { typeInto(casting()->numberBox(), text); }

    // A number cast as a user makes it, with the mouse and the keys.
    void castByHand(const char* number, int zodiac) {
        window->Raise();
        pump();
        ASSERT_TRUE(realChoose(casting()->methodChoice()->list(), NumberCasting)) << "the method was not chosen";
        ASSERT_NE(casting()->numberBox(), nullptr);
        realClick(casting()->numberBox());
        realType(number);
        ASSERT_TRUE(realChoose(casting()->zodiacChoice()->list(), zodiac)) << "the zodiac was not chosen";
        realClick(casting()->castButton());
        ASSERT_TRUE(waitUntil([this] { return !result()->resultText().empty(); }, std::chrono::seconds(5)))
            << "the cast did not run";
    }

    TempDirectory home;
    std::unique_ptr<EasyDb> store;
    TarvWin* window = nullptr;
};

}  // namespace orvenna::gui
