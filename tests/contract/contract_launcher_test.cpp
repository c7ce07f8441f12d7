// What the launcher asks of both backends: a list box, a typed key, files
// dropped on a window, the client area, and the current directory test.
#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractLauncher = ContractTest;

struct LauncherForm : Window {
    LauncherForm() : Window(Rect{120, 100, 486, 232}, "当前选定组：组", Window::Style{}) {}
    ListBox groups{this, Rect{10, 10, 150, 120}};
    Edit name{this, Rect{170, 10, 120, 20}};
};

TEST_F(ContractLauncher, ListBoxKeysDropsAndClientArea) {
    LauncherForm f;
    std::vector<std::string> log;
    f.groups.on_change = [&] { log.push_back("pick " + std::to_string(f.groups.selection())); };
    f.name.on_key = [&](int ch) { log.push_back("key " + std::to_string(ch)); };
    f.on_files_dropped = [&](const std::vector<std::string>& p) {
        log.push_back("drop " + std::to_string(p.size()) + " " + p.back());
    };
    f.groups.add_item("常用");
    f.groups.add_item("游戏");
    f.create();
    f.show();
    pump(50);
    user().pick(f.groups, 1);
    f.groups.insert_item(0, "组");  // the selection stays on its item
    EXPECT_EQ(f.groups.selection(), 2);
    user().pick(f.groups, 0);
    user().type_key(f.name, 13);
    // Not taking files yet: the shell does not drop.
    const std::string deep = folder() + "\\" + std::string(200, 'd') + "\\" + std::string(100, 'e') + ".txt";
    user().drop(f, {"C:\\a.exe"});
    f.set_accept_files(true);
    pump(20);
    user().drop(f, {"C:\\a.exe", deep});
    pump(20);
    EXPECT_EQ(log, (std::vector<std::string>{"pick 1", "pick 0", "key 13", "drop 2 " + deep}));
    // The client area is what the frame leaves, and follows the window's size.
    const Size c = f.client_size();
    EXPECT_GT(c.width, 400);
    EXPECT_LT(c.height, 232);
    f.set_rect({120, 100, 496, 242});
    pump(20);
    EXPECT_EQ(f.client_size(), (Size{c.width + 10, c.height + 10}));
}

TEST_F(ContractLauncher, CurrentDirectoryTestRestores) {
    FileSystem& fs = sys().files;
    const std::string before = fs.current_directory();
    EXPECT_TRUE(fs.set_current_directory(folder()));
    EXPECT_TRUE(fs.set_current_directory(before));
    EXPECT_FALSE(fs.set_current_directory(folder() + "\\missing"));
    EXPECT_EQ(fs.current_directory(), before);
}

}  // namespace
}  // namespace q::contract
