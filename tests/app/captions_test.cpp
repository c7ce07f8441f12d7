// Every caption of every window fits its control at the program's face
// (SimSun 9 pt at 96 DPI: 6 pixels for a half-width character, 12 for a
// full-width one), with the room the control's own drawing takes.
#include <string>
#include <vector>

#include "reminders/popup.h"
#include "tests/app/app_fixture.h"

namespace q {
namespace {

int text_width(const std::string& cp936) {
    int w = 0;
    for (std::size_t i = 0; i < cp936.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp936[i]);
        if (b >= 0x81 && i + 1 < cp936.size()) {
            w += 12;
            ++i;
        } else {
            w += 6;
        }
    }
    return w;
}

int characters(const std::string& cp936) {
    int n = 0;
    for (std::size_t i = 0; i < cp936.size(); ++i, ++n)
        if (static_cast<unsigned char>(cp936[i]) >= 0x81) ++i;
    return n;
}

// The room a kind takes beside its text; -1: the kind shows no caption to measure.
int decoration(const Control& c) {
    switch (c.kind()) {
        case Kind::CheckBox: return 16;  // the 13-pixel box and the gap after it
        case Kind::Button: return 8;     // the raised edge and a little air on both sides
        case Kind::DropDown: return 23;  // the sunken edge and the arrow button
        case Kind::GroupBox: return 12;  // the frame's corner before the caption, a gap after
        case Kind::ImageButton: return 20;  // the 17-pixel icon and the narrowest margins
        default: return -1;
    }
}

// What does not fit, one line per control.
std::string misfits(const Window& w) {
    std::string out;
    auto report = [&](const Control& c, const std::string& text, int need) {
        out += w.text() + ": '" + text + "' needs " + std::to_string(need) + " in " + std::to_string(c.rect().width) +
               " at " + std::to_string(c.rect().left) + "," + std::to_string(c.rect().top) + "\n";
    };
    for (const Control* c : w.controls()) {
        if (c->kind() == Kind::Label) {
            // A label wraps: its lines of text must fit its height.
            const int width = text_width(c->text()), lines = std::max(1, c->rect().height / 12);
            if (width > c->rect().width * lines) report(*c, c->text(), (width + lines - 1) / lines);
            continue;
        }
        const int extra = decoration(*c);
        if (extra < 0) continue;
        std::vector<std::string> texts{c->text()};
        if (c->kind() == Kind::DropDown) texts = static_cast<const DropDown*>(c)->items();
        // A tall push button wraps its caption (BS_MULTILINE), centred line by line.
        const int lines = c->kind() == Kind::Button && c->rect().height >= 36 ? (c->rect().height - 8) / 12 : 1;
        for (const std::string& t : texts) {
            int need = (text_width(t) + lines - 1) / lines + extra;
            // The bar's image buttons squeeze their letters by a pixel rather than clip.
            if (c->kind() == Kind::ImageButton) need -= characters(t);
            if (need > c->rect().width) report(*c, t, need);
        }
    }
    return out;
}

class CaptionsTest : public testing_app::AppFixture {};

TEST_F(CaptionsTest, EveryCaptionOfEveryWindowFitsItsControl) {
    std::string out = misfits(main_bar());
    out += misfits(program().open_settings());
    out += misfits(program().open_about());
    program().launcher().toggle();
    ASSERT_NE(program().launcher().window(), nullptr);
    out += misfits(*program().launcher().window());
    note().note_action();
    ASSERT_NE(note().window(), nullptr);
    out += misfits(*note().window());
    reminders().open_popup();
    ASSERT_NE(reminders().popup(), nullptr);
    out += misfits(*reminders().popup());
    EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace q
