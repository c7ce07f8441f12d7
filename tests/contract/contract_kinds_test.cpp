// The settings and about windows' control kinds on both backends: a spin
// edit, a picture box, a line, a hyperlink label, and item data on a
// drop-down list.
#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractKinds = ContractTest;

struct KindsForm : Window {
    KindsForm() : Window(Rect{140, 120, 400, 240}, "控件种类", Window::Style{}) {}
    SpinEdit spin{this, Rect{99, 20, 38, 16}, 100, 255, "180"};
    PictureBox picture{this, Rect{17, 5, 45, 47}, Res::AboutEmblem};
    Line across{this, Rect{62, 60, 300, 1}};
    Line down{this, Rect{362, 9, 3, 41}};
    Label link{this, Rect{160, 80, 204, 13}, "发现BUG或有建议请点此处以联系作者", Label::Look::Hyperlink};
    DropDown keys{this, Rect{20, 110, 60, 20}};
};

TEST_F(ContractKinds, SpinEditPictureLineLinkAndItemData) {
    EventLog log;
    KindsForm f;
    log.watch(f.spin, "Spin");
    log.watch(f.picture, "Picture");
    log.watch(f.link, "Link");
    log.watch(f.keys, "Keys");
    f.keys.add_item("TAB", 0x09);
    f.keys.add_item("ESC", 0x1B);
    f.create();
    f.show();
    pump(50);
    EXPECT_TRUE(f.across.horizontal());
    EXPECT_FALSE(f.down.horizontal());

    f.spin.set_text("254");
    pump(20);
    EXPECT_TRUE(log.matches({"?*:focus", "?*:blur"})) << "set from code";
    user().spin(f.spin, 1);
    pump(20);
    EXPECT_TRUE(log.matches({"?*:blur", "?Spin:focus", "Spin:change 255"})) << "up to the top";
    user().spin(f.spin, 1);
    pump(20);
    EXPECT_TRUE(log.matches({})) << "held at the top";
    user().spin(f.spin, -2);
    pump(20);
    EXPECT_TRUE(log.matches({"Spin:change 254", "Spin:change 253"}));
    EXPECT_EQ(f.spin.text(), "253");

    user().press(f.picture);
    pump(20);
    EXPECT_TRUE(log.matches({"?*:blur", "Picture:click"}));
    user().press(f.link);
    pump(20);
    EXPECT_TRUE(log.matches({"Link:click"}));
    user().pick(f.keys, 1);
    pump(20);
    EXPECT_TRUE(log.matches({"?*:blur", "?Keys:focus", "Keys:change 1 ESC"}));
    EXPECT_EQ(f.keys.item_data(f.keys.selection()), 0x1B);
    EXPECT_EQ(f.keys.item_data(0), 0x09);

    // Out of reach, the arrows do nothing.
    f.spin.set_enabled(false);
    user().spin(f.spin, -1);
    pump(20);
    EXPECT_TRUE(log.matches({"?*:blur", "?*:focus", "?*:blur"}));
    EXPECT_EQ(f.spin.text(), "253");
    f.destroy();
}

}  // namespace
}  // namespace q::contract
