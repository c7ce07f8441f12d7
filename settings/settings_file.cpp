#include "settings/settings_file.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/values.h"

namespace q {

namespace {
// set.ini is rewritten on every change (each step of a note drag) and holds
// nothing that cannot be set again: its writes skip the disk flush.
constexpr FileSystem::Flush kFlush = FileSystem::Flush::No;

std::function<void()> g_not_saved;
bool g_told = false;

// A change the user made and sees must not look kept when set.ini refused it;
// an edit writes per keystroke, so one notice stands until a write succeeds.
bool noted(bool ok) {
    if (ok) {
        g_told = false;
    } else if (!g_told && g_not_saved) {
        g_told = true;
        g_not_saved();
    }
    return ok;
}
}  // namespace

std::string program_file(const std::string& name) { return sys().process.program_dir() + "\\" + name; }

std::string settings_path() { return program_file("set.ini"); }

std::string setting(const std::string& section, const std::string& key, const std::string& def) {
    return ini::read(settings_path(), section, key, def);
}

bool write_setting(const std::string& section, const std::string& key, const std::string& value) {
    return noted(ini::write(settings_path(), section, key, value, kFlush));
}

bool delete_setting(const std::string& section, const std::string& key) {
    return noted(ini::delete_key(settings_path(), section, key, kFlush));
}

namespace settings {

void on_not_saved(std::function<void()> tell) {
    g_not_saved = std::move(tell);
    g_told = false;
}

bool Switch::operator()() const {
    const std::string v = setting(section, key);
    return kind == Kind::OnUnlessF ? on_unless_f(v) : on_only_if_t(v);
}
bool Switch::write(bool on) const { return write_setting(section, key, switch_text(on)); }

int Integer::operator()() const { return leading_int(text()); }
double Integer::number() const { return leading_number(text()); }
std::string Integer::text() const { return setting(section, key); }
bool Integer::write(long long value) const { return write_setting(section, key, decimal(value)); }

std::string Text::operator()() const {
    const std::string v = setting(section, key, def);
    return form == Form::LineBreaksEscaped ? line_breaks_restored(v) : v;
}
std::string Text::stored(const std::string& value) const {
    return form == Form::LineBreaksEscaped ? line_breaks_escaped(value) : value;
}
bool Text::write(const std::string& value) const { return write_setting(section, key, stored(value)); }

void drop_stray_greeting_lines() {
    const std::string path = settings_path();
    std::string content;
    if (!sys().files.read(path, content)) return;
    const std::string tidy = ini::text::drop_stray_lines(
        content, greeting_show.section,
        {greeting_show.key, greeting_title.key, greeting_message_page.key, greeting_date_page.key});
    if (tidy != content) sys().files.replace(path, tidy, kFlush);
}

Batch::Batch() : batch_(settings_path(), kFlush) {}
void Batch::write(const Integer& k, long long value) { batch_.write(k.section, k.key, decimal(value)); }
void Batch::write(const Text& k, const std::string& value) { batch_.write(k.section, k.key, k.stored(value)); }
void Batch::remove(const Text& k) { batch_.delete_key(k.section, k.key); }
bool Batch::commit() { return noted(batch_.commit()); }

}  // namespace settings

}  // namespace q
