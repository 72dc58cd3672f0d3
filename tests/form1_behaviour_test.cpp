// The main window's handlers over a stand-in for the controls, so that what
// the window does is checked once for every front-end.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "form1_behaviour.h"
#include "recording_environment.h"

using Form1Layout::Control;
using Runtime::Text;

namespace {

class FakeView final : public Form1View {
public:
    FakeView() {
        for (const auto& layout : Form1Layout::kControls) {
            texts_.at(Index(layout.control)) = Runtime::Text(layout.caption);
        }
    }
    [[nodiscard]] Runtime::Text Text(Control control) const override { return texts_.at(Index(control)); }
    void SetText(Control control, const Runtime::Text& text) override { texts_.at(Index(control)) = text; }
    void Close() override { ++closes_; }

    [[nodiscard]] int Closes() const { return closes_; }
    [[nodiscard]] const std::array<Runtime::Text, Form1Layout::kControlCount>& Texts() const {
        return texts_;
    }

private:
    static std::size_t Index(Control control) { return static_cast<std::size_t>(control); }
    std::array<Runtime::Text, Form1Layout::kControlCount> texts_;
    int closes_ = 0;
};

// 7 April 2003 was a Monday, 18 Farvardin 1382.
struct Form1Behaviour_ : ::testing::Test {
    RecordingEnvironment environment{{2003, 4, 7}};
    FakeView view;
    Form1Behaviour form{view, environment};
};

}  // namespace

TEST_F(Form1Behaviour_, LoadShowsTheNoticeAndTodayInBothCalendars) {
    form.Form_Load();
    EXPECT_EQ(view.Text(Control::lblNotice),
              U" YY/MM/DD ورودي تاريخ شمسي با فرمت\r\n YY/MM/DD خروجي تاريخ ميلادي با فرمت");
    EXPECT_EQ(view.Text(Control::lblTodayShamsi), U"دوشنبه  18 فروردين  1382");
    EXPECT_EQ(view.Text(Control::lblTodayMiladi), U"7 April 2003");
    for (const Control c : {Control::lblMiladi, Control::lblShamsi, Control::lblMiladiString}) {
        EXPECT_EQ(view.Text(c), U"");
    }
    EXPECT_TRUE(environment.Messages().empty());
}

TEST_F(Form1Behaviour_, EachConversionFillsTheLabelsOrLeavesThePreviousResult) {
    const struct {
        Text typed;
        Text miladi, shamsi, worded;
        std::vector<Text> messages;
    } steps[] = {
        {U"82/01/12", U"2003/04/01", U"سه شنبه  12 فروردين  1382", U"01 April 2003", {}},
        // Too short: lblMiladi empties, the two below keep the last result.
        {U"8/1/1",
         U"",
         U"سه شنبه  12 فروردين  1382",
         U"01 April 2003",
         {U"خطا - - - تاريخ را بصورت روز/ماه/سال وارد نماييد",
          U"تمامي فيلدها بايد به صورت دو رقمي وارد شود"}},
        {U"",
         U"",
         U"سه شنبه  12 فروردين  1382",
         U"01 April 2003",
         {U"خطا - - - تاريخ را بصورت روز/ماه/سال وارد نماييد",
          U"تمامي فيلدها بايد به صورت دو رقمي وارد شود"}},
        {U"۸۵/۰۸/۰۱", U"2006/10/23", U"دوشنبه  1 آبان  1385", U"23 October 2006", {}},
        {U"82/13/01",
         U"",
         U"دوشنبه  1 آبان  1385",
         U"23 October 2006",
         {U"خطا  - - - ماه را درست وارد نماييد"}},
    };
    for (const auto& step : steps) {
        environment.Clear();
        view.SetText(Control::txtShamsi, step.typed);
        form.cmdConvert_Click();
        const std::string typed = Runtime::Utf8FromText(step.typed);
        EXPECT_EQ(view.Text(Control::lblMiladi), step.miladi) << typed;
        EXPECT_EQ(view.Text(Control::lblShamsi), step.shamsi) << typed;
        EXPECT_EQ(view.Text(Control::lblMiladiString), step.worded) << typed;
        EXPECT_EQ(environment.Messages(), step.messages) << typed;
        // The routine rewrote its own copy, not the text box.
        EXPECT_EQ(view.Text(Control::txtShamsi), step.typed);
    }
}

TEST_F(Form1Behaviour_, Label4ShowsTheCreditEachTimeAndExitCloses) {
    form.Form_Load();
    const auto before = view.Texts();
    form.Label4_Click();
    form.Label4_Click();
    EXPECT_EQ(environment.Messages(), (std::vector<Text>(2, U"طراحي و برنامه نويسي: سازندگان مبدل تاريخ")));
    EXPECT_EQ(view.Texts(), before);
    EXPECT_EQ(view.Closes(), 0);

    form.cmdExit_Click();
    EXPECT_EQ(view.Closes(), 1);
    EXPECT_EQ(view.Texts(), before);
}
