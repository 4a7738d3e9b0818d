// The record store in trouble as a user meets it: locked by another program, damaged, or
// read-only. The status bar says why, at start, on a replay and on "删除"; a list kept out by
// a lock comes by itself once the lock is gone.
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "../Environment.h"
#include "MainWindowFixture.h"
#include "base/Text.h"

namespace orvenna::gui {
namespace {

constexpr int Rows = 300;

// Another program's connection to the store's file.
class OtherProgram {
public:
    explicit OtherProgram(const std::filesystem::path& file) { sqlite3_open(utf8Path(file).c_str(), &db_); }
    ~OtherProgram() { sqlite3_close(db_); }
    int exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr); }

private:
    sqlite3* db_ = nullptr;
};

class StoreTroubleTest : public MainWindowTest {
protected:
    std::filesystem::path file() const { return home.path() / "src" / "data" / "ssq.db"; }

    // Rows 1 to 300, titled "…xrow<id>", long enough to spread over many pages.
    void fillStore() {
        OtherProgram other(file());
        ASSERT_EQ(other.exec("BEGIN;"), SQLITE_OK);
        for (int id = 1; id <= Rows; ++id)
            other.exec("INSERT INTO tarv_table (ysname,ysindex,ysnumber,ysday,gzsxid,dong) VALUES ('" +
                       std::string(60, '.') + "xrow" + std::to_string(id) + "',1,'1234',45382.5,7,'0,0,0,0,0,0');");
        ASSERT_EQ(other.exec("COMMIT;"), SQLITE_OK);
    }

    // Writes over the file as a failing disk or another program would, and bumps the change
    // counter so that a connection reads the file again.
    void editFile(const std::function<void(std::string&)>& edit) {
        std::ifstream in(file(), std::ios::binary);
        std::string bytes(std::istreambuf_iterator<char>(in), {});
        in.close();
        edit(bytes);
        ++bytes[27];
        std::ofstream(file(), std::ios::binary | std::ios::trunc) << bytes;
    }
    void damagePageHolding(const std::string& text) {
        editFile([&](std::string& bytes) {
            const std::size_t pageSize =
                (static_cast<unsigned char>(bytes[16]) << 8) | static_cast<unsigned char>(bytes[17]);
            const std::size_t at = bytes.find(text);
            ASSERT_NE(at, std::string::npos);
            std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at / pageSize * pageSize), pageSize, '\xff');
        });
    }

    // A new window over the file, activated as the desktop does when it shows it.
    void start() {
        reopen([](TarvWin&) {}, WindowStoreBusyMs);
        wxActivateEvent activate(wxEVT_ACTIVATE, true, window->GetId());
        window->HandleWindowEvent(activate);
        pump();
    }
    int indexOf(std::int64_t id) const {
        for (int i = 0; i < result()->itemCount(); ++i)
            if (result()->itemId(i) == id) return i;
        return -1;
    }
    void doubleClick(int index) {
        result()->historyList()->SetSelection(index);
        wxCommandEvent event(wxEVT_LISTBOX_DCLICK, result()->historyList()->GetId());
        event.SetInt(index);
        result()->historyList()->HandleWindowEvent(event);
        pump();
    }
    void deleteTicked() {
        wxTEST_DIALOG(click(result()->deleteButton()),
                      ExpectMessage(L"询问:", L"确定需要删除当前所选择的历史数据吗?", wxID_YES));
    }
};

TEST_F(StoreTroubleTest, ALockIsSaidAndTheListComesOnceItIsGone) {
    fillStore();
    OtherProgram other(file());
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
    start();
    EXPECT_EQ(status(), L"无法读取历史记录:数据库正被其他程序使用");
    EXPECT_EQ(result()->itemCount(), 0);
    ASSERT_EQ(other.exec("COMMIT;"), SQLITE_OK);
#ifdef _WIN32
    // Under Wine the retry timer does not tick inside the test's yield loop; the other way the
    // list comes back, the window's next activation, is what is tried here.
    wxActivateEvent activate(wxEVT_ACTIVATE, true, window->GetId());
    window->HandleWindowEvent(activate);
#else
    ASSERT_TRUE(waitUntil([&] { return result()->itemCount() == Rows; }));
#endif
    ASSERT_EQ(result()->itemCount(), Rows);
    EXPECT_EQ(status(), L"历史记录已读取");

    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
    const std::wstring resultBefore = result()->resultText();
    doubleClick(0);
    EXPECT_EQ(status(), L"无法复盘:数据库正被其他程序使用");
    EXPECT_EQ(result()->resultText(), resultBefore);
    tick(result()->historyList(), 0);
    deleteTicked();
    EXPECT_EQ(status(), L"删除失败:数据库正被其他程序使用");
    EXPECT_EQ(result()->itemCount(), Rows);

    ASSERT_EQ(other.exec("COMMIT;"), SQLITE_OK);
    deleteTicked();
    EXPECT_EQ(result()->itemCount(), Rows - 1);
    EXPECT_EQ(indexOf(Rows), -1);
}

TEST_F(StoreTroubleTest, ADamagedPageIsSaidOnReplayOnDeleteAndAtStart) {
    fillStore();
    start();
    ASSERT_EQ(result()->itemCount(), Rows);
    damagePageHolding("xrow150");
    const int damaged = indexOf(150);
    doubleClick(damaged);
    EXPECT_EQ(status(), L"无法复盘:数据库已损坏");
    tick(result()->historyList(), damaged);
    deleteTicked();
    EXPECT_EQ(status(), L"删除失败:数据库已损坏");
    EXPECT_EQ(result()->itemCount(), Rows);

    // Newest first: the rows above the damaged page are listed, and the list says it is partial.
    start();
    const int listed = result()->itemCount();
    EXPECT_GT(listed, 0);
    EXPECT_LT(listed, Rows - 150);
    EXPECT_EQ(status(), concat(L"历史记录不完整,只读出", listed, L"条:数据库已损坏"));
}

// A file that a newer SQLite marked read-only: it is read and replayed, never written.
TEST_F(StoreTroubleTest, AReadOnlyDatabaseIsSaidAtStartAndOnDelete) {
    fillStore();
    editFile([](std::string& bytes) { bytes[18] = 3; });  // the write format version
    start();
    EXPECT_EQ(status(), L"数据库只读,记录无法保存或删除");
    ASSERT_EQ(result()->itemCount(), Rows);

    result()->selectAll()->SetValue(true);
    wxCommandEvent all(wxEVT_CHECKBOX, result()->selectAll()->GetId());
    all.SetInt(1);
    result()->selectAll()->HandleWindowEvent(all);
    deleteTicked();
    EXPECT_EQ(status(), L"删除失败:数据库只读,无法写入");
    EXPECT_EQ(result()->itemCount(), Rows);

    doubleClick(0);
    EXPECT_EQ(status(), L"按卦主生肖与数字测算");
}

}  // namespace
}  // namespace orvenna::gui
