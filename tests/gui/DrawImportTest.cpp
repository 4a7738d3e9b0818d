// A file of past draws imported from the main window: the import runs beside the window's
// thread under a busy cursor, says exactly what it stored, and lists the lines it left in a
// window the user can copy them from.
#include <sqlite3.h>

#include <gmock/gmock.h>
#include <wx/clipbrd.h>

#include <fstream>
#include <thread>

#include "../Environment.h"
#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "engine/DrawScore.h"
#include "records/DrawStore.h"
#include "system/Clock.h"
#include "ui/HistoryController.h"
#include "ui/RefusedLinesWin.h"
#include "ui/words/HistoryWords.h"

namespace orvenna::gui {
namespace {

// Another program's connection to the store's file, holding it while the test says.
class OtherProgram {
public:
    explicit OtherProgram(const std::filesystem::path& file) { sqlite3_open(utf8Path(file).c_str(), &db_); }
    ~OtherProgram() { sqlite3_close(db_); }
    int exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

private:
    sqlite3* db_ = nullptr;
};

class DrawImportTest : public MainWindowTest {
protected:
    std::filesystem::path database() const { return EasyDb::databasePath(home.path()); }
    HistoryController& history() { return window->history(); }

    // `count` draws of 2024 from its first Tuesday on, after a header; the draw on line 6
    // has five digits only.
    std::filesystem::path drawFile(int count) {
        std::string text = "期号,日期,号码\n";
        std::int64_t day = daysFromCivil(2024, 1, 2);
        for (int n = 0; n < count; ++n, ++day) {
            while (!isDrawDay(day)) ++day;
            text += std::to_string(24001 + n) + "," + toUtf8(dateText(static_cast<double>(day))) + "," +
                    (n == 4 ? "12345" : "1234567") + "\n";
        }
        const std::filesystem::path file = home.path() / "draws.csv";
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    std::size_t storedDraws() {
        EasyDb db(home.path());
        const Result<std::vector<StoredDraw>> stored = DrawStore(db).list(localDay(systemClock()));
        return stored ? stored->size() : 0;
    }
    bool importEnds() {
        return waitUntil([&] { return !history().importing(); });
    }
};

// While another program holds the store, the import waits for it beside the window: the
// window casts meanwhile, a second import is refused, and once the store is free the import
// says what it did, the cursor is itself again, and the line it left is listed.
TEST_F(DrawImportTest, AnImportRunsBesideTheWindowAndListsTheLineItLeft) {
    int changes = 0;
    history().storeChanged.connect([&] { ++changes; });
    const std::filesystem::path file = drawFile(30);
    // A window manager activates the window late, and its first activation reads the list:
    // that read must come before the lock, or its retry would speak over the import.
    waitUntil([&] { return window->IsActive(); }, std::chrono::seconds(2));
    pump();
    OtherProgram other(database());
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE;"), SQLITE_OK);

    // Long enough for a busy desktop to cast meanwhile; the lock is let go well before.
    history().importWaitMs = 30000;
    ASSERT_TRUE(history().importDraws(file));
    EXPECT_EQ(status(), DrawImportRunningText);
    EXPECT_TRUE(wxIsBusy());
    chooseMethod(NumberCasting);
    typeNumber(L"1234");
    chooseZodiac(7);
    pressCast();
    EXPECT_FALSE(result()->resultText().empty()) << "the window did not cast while the import ran";
    EXPECT_FALSE(history().importDraws(file));
    EXPECT_EQ(status(), DrawImportBusyText);
    EXPECT_TRUE(history().importing());

    ASSERT_EQ(other.exec("COMMIT;"), SQLITE_OK);
    ASSERT_TRUE(importEnds()) << "the import did not end";
    EXPECT_EQ(status(), L"开奖数据已导入:新增29期,已有0期,未导入1行(第6行)");
    EXPECT_FALSE(wxIsBusy());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(storedDraws(), 29u);

    RefusedLinesWin* list = window->refusedLinesWindow();
    ASSERT_NE(list, nullptr) << "the line left was not listed";
    ASSERT_TRUE(waitUntil([&] { return list->IsShown(); }));
    EXPECT_EQ(list->text()->GetValue(), L"第6行:号码不是6个0-9的数字加一个0-14的蓝号");
    EXPECT_FALSE(list->text()->IsEditable());
    EXPECT_EQ(list->caption()->GetLabel(), L"未导入的行及原因:");
    EXPECT_EQ(list->GetFont(), window->GetFont());
    EXPECT_EQ(list->text()->GetFont(), window->GetFont());
    expectSoundLayout(list);

    // Again: nothing new, the same line left, and a list of its own in place of the last.
    ASSERT_TRUE(history().importDraws(file));
    ASSERT_TRUE(importEnds());
    EXPECT_EQ(status(), L"开奖数据已导入:新增0期,已有29期,未导入1行(第6行)");
    EXPECT_EQ(changes, 1) << "nothing was stored, yet the store was said to have changed";
    pump();
    ASSERT_NE(window->refusedLinesWindow(), nullptr);
    EXPECT_NE(window->refusedLinesWindow(), list);
}

// 复制 puts every line on the clipboard; Esc closes the list.
TEST_F(DrawImportTest, TheListCopiesItsLinesAndClosesWithEsc) {
    const std::filesystem::path file = home.path() / "draws.csv";
    std::ofstream(file, std::ios::binary) << "24001,2024-01-02,1234567\n24002,2024-01-03,1234567\nx,y\n";
    ASSERT_TRUE(history().importDraws(file));
    ASSERT_TRUE(importEnds());
    EXPECT_EQ(status(), L"开奖数据已导入:新增1期,已有0期,未导入2行(第2、3行)");
    RefusedLinesWin* list = window->refusedLinesWindow();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitUntil([&] { return list->IsShown(); }));
    const std::wstring lines =
        L"第2行:第24002期(2024-01-03)开奖日期不是周二、周五或周日\n"
        L"第3行:应为期号、日期、号码3项,或期号、日期、7个号码共9项,此行有2项";
    EXPECT_EQ(list->text()->GetValue(), lines);

    click(list->copyButton());
    wxTextDataObject copied;
    {
        wxClipboardLocker locker;
        ASSERT_FALSE(!locker);
        ASSERT_TRUE(wxTheClipboard->GetData(copied));
    }
    EXPECT_EQ(copied.GetText(), lines);

    list->Raise();
    realClick(list->text());
    realKeys({WXK_ESCAPE});
    EXPECT_TRUE(waitUntil([&] { return window->refusedLinesWindow() == nullptr; }, std::chrono::seconds(2)))
        << "Esc left the list open";
}

// A file that is no file of draws says so, lists nothing, and changes nothing.
TEST_F(DrawImportTest, AFileWithoutDrawsSaysSoAndListsNothing) {
    int changes = 0;
    history().storeChanged.connect([&] { ++changes; });
    const std::filesystem::path file = home.path() / "notes.csv";
    const struct {
        const char* text;
        std::wstring_view said;
    } rows[] = {
        {"", L"文件中没有开奖数据行"},
        {"期号,日期,号码\n", L"文件中没有开奖数据行"},
    };
    for (const auto& row : rows) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << row.text;
        ASSERT_TRUE(history().importDraws(file));
        ASSERT_TRUE(importEnds());
        EXPECT_EQ(status(), row.said) << row.text;
    }
    ASSERT_TRUE(history().importDraws(home.path() / "missing.csv"));
    ASSERT_TRUE(importEnds());
    EXPECT_EQ(status(), L"无法读取开奖数据文件:文件不存在");
    EXPECT_EQ(window->refusedLinesWindow(), nullptr);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(wxIsBusy());
}

// The window closed while an import waits for the store: it goes once the import has ended,
// and the import is stored whole or not at all.
TEST_F(DrawImportTest, ClosingTheWindowDuringAnImportIsSafe) {
    const std::filesystem::path file = drawFile(30);
    auto other = std::make_unique<OtherProgram>(database());
    ASSERT_EQ(other->exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
    ASSERT_TRUE(history().importDraws(file));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other->exec("COMMIT;");
    });
    delete window;
    window = nullptr;
    pump();
    release.join();
    other.reset();
    EXPECT_FALSE(wxIsBusy());
    const std::size_t stored = storedDraws();
    EXPECT_TRUE(stored == 0 || stored == 29) << stored << " draws stored";
}

}  // namespace
}  // namespace orvenna::gui
