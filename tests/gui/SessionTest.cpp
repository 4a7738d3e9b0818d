// A whole session in one window, as a user has it: start, cast, save, replay, delete, exit.
// In the sanitizer build LeakSanitizer checks it for leaks of the program's own at exit.
#include "MainWindowFixture.h"
#include "gui/LabeledEdit.h"

namespace orvenna::gui {
namespace {

using SessionTest = MainWindowTest;

TEST_F(SessionTest, StartCastSaveReplayDeleteExit) {
    chooseMethod(1);
    typeNumber(L"8888");
    chooseZodiac(3);
    pressCast();
    const std::wstring firstResult = result()->resultText();
    ASSERT_FALSE(firstResult.empty());

    result()->titleEdit()->box()->SetValue(L"一次完整的使用");
    click(result()->saveButton());
    ASSERT_EQ(status(), L"保存成功");
    ASSERT_EQ(result()->itemCount(), 1);

    click(casting()->resetButton());
    window->replay(result()->itemId(0));
    EXPECT_EQ(result()->resultText(), firstResult);

    tick(result()->historyList(), 0);
    wxTEST_DIALOG(click(result()->deleteButton()),
                  ExpectMessage(L"询问:", L"确定需要删除当前所选择的历史数据吗?", wxID_YES));
    EXPECT_EQ(result()->itemCount(), 0);

    window->Close(true);
    window = nullptr;
    pump();
}

}  // namespace
}  // namespace orvenna::gui
