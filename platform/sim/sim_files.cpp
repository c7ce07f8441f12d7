// The in-memory file system of the sim, with Windows path rules.
#include "platform/sim/sim_system.h"

#include <algorithm>
#include <cctype>

#include "platform/text.h"

namespace q::sim {

namespace {

constexpr char kSep = '\\';

// Splits a path at "\" and "/", stepping over double-byte characters so that a
// trail byte 0x5C stays inside its name.
std::vector<std::string> split_path(const std::string& p) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < p.size();) {
        const std::size_t n = next_char(p, i);
        if (n == i + 1 && (p[i] == '\\' || p[i] == '/'))
            parts.emplace_back();
        else
            parts.back().append(p, i, n - i);
        i = n;
    }
    return parts;
}

bool is_drive(const std::string& s) {
    return s.size() == 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

// Characters Windows refuses in a name.
bool valid_name(const std::string& name) {
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = next_char(name, i);
        if (n == i + 1) {
            const unsigned char c = static_cast<unsigned char>(name[i]);
            if (c < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
                return false;
        }
        i = n;
    }
    return true;
}

// A full path "X:\a\b" (or "X:" for a drive) with the case as written, or
// empty when the path cannot name anything. Relative paths are taken from
// base; "." and ".." are resolved and trailing dots and blanks of a name
// dropped, as Windows does.
std::string normalize(const std::string& path, const std::string& base) {
    if (path.empty()) return {};
    std::vector<std::string> parts = split_path(path);
    std::vector<std::string> all;
    std::string drive;
    if (is_drive(parts[0])) {
        drive = parts[0];
        parts.erase(parts.begin());
    } else if (parts[0].empty() && parts.size() > 1) {  // "\x": root of the base's drive
        std::vector<std::string> b = split_path(base);
        if (!is_drive(b[0])) return {};
        drive = b[0];
        parts.erase(parts.begin());
    } else {
        std::vector<std::string> b = split_path(base);
        if (!is_drive(b[0])) return {};
        drive = b[0];
        all.assign(b.begin() + 1, b.end());
    }
    all.insert(all.end(), parts.begin(), parts.end());
    std::vector<std::string> out;
    for (std::string& part : all) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        // Trailing '.' and ' ' can never be trail bytes, so plain trimming is safe.
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        if (part.empty()) continue;
        // Names are kept as Windows keeps them, in UTF-16: an escape of a
        // character CP936 has is that character, a byte that is no CP936
        // character a "?" (which no name may hold).
        part = cp936_from_utf16(utf16_from_cp936(part));
        if (!valid_name(part)) return {};
        out.push_back(part);
    }
    drive[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
    std::string r = drive;
    for (const std::string& part : out) r += kSep + part;
    return r;
}

// The folder part of a normalised path or key; empty for a drive.
std::string parent_of(const std::string& p) {
    const std::size_t i = find_last_char(p, kSep);
    return i == std::string::npos ? std::string() : p.substr(0, i);
}

std::string leaf_of(const std::string& p) {
    const std::size_t i = find_last_char(p, kSep);
    return i == std::string::npos ? p : p.substr(i + 1);
}

// One CP936 character per element, ASCII letters upper-cased.
std::vector<std::string> chars_upper(const std::string& s) {
    std::vector<std::string> r;
    const std::string u = ascii_upper(s);
    for (std::size_t i = 0; i < u.size();) {
        const std::size_t n = next_char(u, i);
        r.push_back(u.substr(i, n - i));
        i = n;
    }
    return r;
}

// Windows wildcard rules: '*' any run, '?' one character (or none at a '.'
// or at the end of the name), a '.' followed only by wildcards also matches
// the end of a name without extension ("*.*" matches "README").
bool wildcard_match(const std::string& pattern, const std::string& name) {
    const std::vector<std::string> p = chars_upper(pattern), n = chars_upper(name);
    const std::size_t P = p.size(), N = n.size();
    // memo: 0 unknown, 1 false, 2 true
    std::vector<char> memo((P + 1) * (N + 1), 0);
    std::function<bool(std::size_t, std::size_t)> m = [&](std::size_t pi, std::size_t ni) -> bool {
        char& cell = memo[pi * (N + 1) + ni];
        if (cell) return cell == 2;
        bool r;
        if (pi == P) {
            r = ni == N;
        } else if (p[pi] == "*") {
            r = m(pi + 1, ni) || (ni < N && m(pi, ni + 1));
        } else if (p[pi] == "?") {
            r = (ni < N && m(pi + 1, ni + 1)) || ((ni == N || n[ni] == ".") && m(pi + 1, ni));
        } else if (p[pi] == "." && ni == N) {
            r = std::all_of(p.begin() + static_cast<std::ptrdiff_t>(pi) + 1, p.end(),
                            [](const std::string& c) { return c == "*" || c == "?"; });
        } else {
            r = ni < N && p[pi] == n[ni] && m(pi + 1, ni + 1);
        }
        cell = r ? 2 : 1;
        return r;
    };
    return m(0, 0);
}

}  // namespace


std::string SimSystem::key_of(const std::string& path) { return ascii_upper(normalize(path, "C:")); }

bool SimSystem::ensure_parent(const std::string& path) {
    const std::string parent = parent_of(path);
    if (parent.empty()) return false;
    auto it = nodes_.find(ascii_upper(parent));
    return it != nodes_.end() && it->second.folder;
}

void SimSystem::make_folder(const std::string& path) {
    const std::string p = normalize(path, dir);
    if (p.empty()) return;
    std::vector<std::string> parts = split_path(p);
    std::string cur;
    for (const std::string& part : parts) {
        cur += cur.empty() ? part : kSep + part;
        auto [it, added] = nodes_.try_emplace(ascii_upper(cur));
        if (added) {
            it->second.name = cur;
            it->second.folder = true;
            it->second.order = next_order_++;
        } else if (!it->second.folder) {
            return;  // a file stands in the way
        }
    }
}

void SimSystem::put_file(const std::string& path, const std::string& data) {
    const std::string p = normalize(path, dir);
    if (p.empty() || parent_of(p).empty()) return;
    make_folder(parent_of(p));
    if (!ensure_parent(p)) return;
    auto [it, added] = nodes_.try_emplace(ascii_upper(p));
    if (added) {
        it->second.name = p;
        it->second.order = next_order_++;
    } else if (it->second.folder) {
        return;
    }
    it->second.data = data;
}

std::optional<std::string> SimSystem::file(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    if (it == nodes_.end() || it->second.folder) return std::nullopt;
    return it->second.data;
}

bool SimSystem::exists(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    return it != nodes_.end() && !it->second.folder;
}

bool SimSystem::folder_exists(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    return it != nodes_.end() && it->second.folder;
}

const std::string* SimSystem::readable(const std::string& path) {
    now_ms_ += file_wait_ms;
    const std::string k = ascii_upper(normalize(path, dir));
    auto it = nodes_.find(k);
    if (it == nodes_.end() || it->second.folder) return nullptr;
    for (const std::string& u : unreadable)
        if (ascii_upper(normalize(u, dir)) == k) return nullptr;
    return &it->second.data;
}

bool SimSystem::read(const std::string& path, std::string& out) {
    const std::string* data = readable(path);
    if (!data) return false;
    out = *data;
    return true;
}

// An unreadable file has no size either: on Windows both need the file opened.
std::optional<std::uint64_t> SimSystem::size(const std::string& path) {
    const std::string* data = readable(path);
    if (!data) return std::nullopt;
    return data->size();
}

bool SimSystem::read_part(const std::string& path, std::uint64_t offset, std::size_t length, std::string& out) {
    const std::string* data = readable(path);
    if (!data) return false;
    if (offset >= data->size())
        out.clear();
    else
        out = data->substr(static_cast<std::size_t>(offset), length);
    return true;
}

bool SimSystem::replace(const std::string& path, const std::string& data, Flush flush) {
    record("file replace " + path);
    if (fail_writes_ > 0) {
        --fail_writes_;
        return false;
    }
    const std::string p = normalize(path, dir);
    if (p.empty() || !ensure_parent(p)) return false;
    const std::string k = ascii_upper(p);
    auto target = nodes_.find(k);
    if (target != nodes_.end() && target->second.folder) return false;

    // The temporary file beside the target, then a rename over it.
    const std::string temp = p + ".~tmp";
    Node& t = nodes_[ascii_upper(temp)];
    if (t.name.empty()) {
        t.name = temp;
        t.order = next_order_++;
    }
    if (interrupt_at_) {
        t.data = data.substr(0, std::min(*interrupt_at_, data.size()));
        interrupt_at_.reset();
        return false;
    }
    nodes_.erase(ascii_upper(temp));
    Node& n = nodes_[k];
    if (n.name.empty()) {
        n.name = p;
        n.order = next_order_++;
    }
    n.data = data;
    ++write_count;
    if (flush == Flush::Yes) ++flush_count;
    return true;
}

bool SimSystem::rename(const std::string& from, const std::string& to) {
    record("file rename " + from + " > " + to);
    const std::string f = normalize(from, dir), t = normalize(to, dir);
    if (f.empty() || t.empty()) return false;
    const std::string fk = ascii_upper(f), tk = ascii_upper(t);
    auto src = nodes_.find(fk);
    if (src == nodes_.end() || parent_of(f).empty()) return false;
    if (fk == tk) {  // only the case of the name changes
        src->second.name = t;
        return true;
    }
    if (!ensure_parent(t)) return false;
    // As MoveFileEx without MOVEFILE_REPLACE_EXISTING: an existing target refuses.
    if (nodes_.count(tk)) return false;
    if (src->second.folder && tk.compare(0, fk.size() + 1, fk + kSep) == 0) return false;  // into itself

    Node moved = src->second;
    nodes_.erase(src);
    moved.name = t;
    moved.order = next_order_++;
    if (moved.folder) {
        // Everything inside moves along.
        std::vector<std::pair<std::string, Node>> inside;
        const std::string prefix = fk + kSep;
        for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;)
        {
            Node n = it->second;
            n.name = t + n.name.substr(f.size());
            inside.emplace_back(tk + it->first.substr(fk.size()), std::move(n));
            it = nodes_.erase(it);
        }
        for (auto& [k, n] : inside) nodes_[k] = std::move(n);
    }
    nodes_[tk] = std::move(moved);
    return true;
}

bool SimSystem::remove(const std::string& path) {
    record("file remove " + path);
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    if (it == nodes_.end() || it->second.folder) return false;
    nodes_.erase(it);
    return true;
}

bool SimSystem::create_folder(const std::string& path) {
    record("file mkdir " + path);
    const std::string p = normalize(path, dir);
    if (p.empty() || !ensure_parent(p)) return false;
    auto [it, added] = nodes_.try_emplace(ascii_upper(p));
    if (!added) return false;
    it->second.name = p;
    it->second.folder = true;
    it->second.order = next_order_++;
    return true;
}

std::vector<FileSystem::Entry> SimSystem::enumerate(const std::string& pattern) {
    std::string raw = pattern;
    std::replace(raw.begin(), raw.end(), '/', '\\');  // '/' is never a trail byte
    const std::size_t cut = find_last_char(raw, kSep);
    std::string folder_part, leaf_pattern;
    if (cut == std::string::npos) {
        if (raw.size() >= 2 && is_drive(raw.substr(0, 2))) return {};  // "C:x": drive-relative, not used
        folder_part = dir;
        leaf_pattern = raw;
    } else {
        folder_part = cut == 0 ? std::string("\\") : raw.substr(0, cut);
        leaf_pattern = raw.substr(cut + 1);
    }
    if (leaf_pattern.empty()) return {};
    const std::string folder_key = ascii_upper(normalize(folder_part, dir));
    if (folder_key.empty()) return {};
    auto f = nodes_.find(folder_key);
    if (f == nodes_.end() || !f->second.folder) return {};

    std::vector<const Node*> found;
    const std::string prefix = folder_key + kSep;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it) {
        if (parent_of(it->first) != folder_key) continue;
        if (wildcard_match(leaf_pattern, leaf_of(it->second.name))) found.push_back(&it->second);
    }
    std::sort(found.begin(), found.end(), [](const Node* a, const Node* b) { return a->order < b->order; });
    std::vector<Entry> out;
    for (const Node* n : found) out.push_back({leaf_of(n->name), n->folder, n->link, n->hidden && n->system});
    return out;
}

std::string SimSystem::current_directory() { return dir; }

bool SimSystem::set_current_directory(const std::string& path) {
    std::string p = normalize(path, dir);
    // A drive root is a folder of its own.
    const bool root = p.size() == 2 && p[1] == ':';
    if (!root && !folder_exists(p)) return false;
    dir = root ? p + "\\" : p;
    return true;
}

bool SimSystem::set_hidden(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    if (it == nodes_.end()) return false;
    it->second.hidden = true;
    return true;
}

}  // namespace q::sim

namespace q::sim {

void SimSystem::set_special(const std::string& path, bool system, bool link) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    if (it == nodes_.end()) return;
    it->second.system = system;
    it->second.link = link;
}

bool SimSystem::is_hidden(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    return it != nodes_.end() && it->second.hidden;
}

}  // namespace q::sim
