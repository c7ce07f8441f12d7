#include "media/media_page.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "media/id3.h"
#include "media/picture.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::media {

namespace {

// The status label is repainted at most this often while a search runs.
constexpr std::uint64_t kStatusEveryMs = 40;
constexpr long long kMaxEmptyRows = 100000;
// A search works this long between two runs of the pending messages.
constexpr std::uint64_t kPumpEveryMs = 15;

std::vector<ListView::Column> list_columns() { return {{"文件名称", 150}, {"所在目录", 268}}; }

}  // namespace

namespace {
std::string tag_text(const std::optional<Id3Tag>& t) {
    if (!t) return {};
    return "    MP3标签信息\r\n\r\n标题：" + t->title + "\r\n歌手：" + t->artist + "\r\n专辑：" + t->album +
           "\r\n年代：" + t->year + "\r\n备注：" + t->comment + "\r\n流派：" + t->genre;
}
}  // namespace

std::string tag_display_text(const std::string& file_end) { return tag_text(read_id3v1(file_end)); }

std::string file_tag_text(const std::string& path) {
    FileSystem& fs = sys().files;
    const std::optional<std::uint64_t> size = fs.size(path);
    if (!size) return {};
    // A tag that claims more than the file holds ends with the file.
    const TagReader read = [&](std::uint64_t at, std::size_t n, std::string& out) {
        return fs.read_part(path, at, n, out);
    };
    const std::optional<Id3Tag> v2 = read_id3v2(read, *size);
    std::optional<Id3Tag> v1;
    std::string end;
    if (*size >= kId3v1Bytes && fs.read_part(path, *size - kId3v1Bytes, kId3v1Bytes, end)) v1 = read_id3v1(end);
    return tag_text(merged_tag(v1, v2));
}

MediaPage::MediaPage(TabPage& page, Media& media)
    : 组合框(&page, {12, 32, 96, 20}, {"添加壁纸", "添加MP3"}),
      目录按钮(&page, {116, 31, 84, 22}, "搜索文件夹"),
      文件按钮(&page, {206, 31, 96, 22}, "添加指定文件"),
      列表框(&page, {12, 60, 422, 262}, list_columns(), true),
      信息标签(&page, {444, 60, 128, 176}, ""),
      预览画板(&page, {444, 60, kPreviewWidth, kPreviewHeight}),
      全选按钮(&page, {444, 246, 60, 22}, "全选"),
      删除按钮(&page, {512, 246, 60, 22}, "删除"),
      上移按钮(&page, {444, 274, 60, 22}, "上移"),
      下移按钮(&page, {512, 274, 60, 22}, "下移"),
      添加按钮(&page, {444, 302, 128, 22}, "确认添加"),
      标签(&page, {12, 330, 560, 36}, ""),
      media_(media) {
    预览画板.hide();
    组合框.on_change = [this] { 组合框_change(); };
    目录按钮.on_click = [this] { 目录按钮_click(); };
    文件按钮.on_click = [this] { 文件按钮_click(); };
    全选按钮.on_click = [this] { 全选按钮_click(); };
    删除按钮.on_click = [this] { 删除按钮_click(); };
    上移按钮.on_click = [this] { 上移按钮_click(); };
    下移按钮.on_click = [this] { 下移按钮_click(); };
    添加按钮.on_click = [this] { 添加按钮_click(); };
    列表框.on_pick = [this] { 列表框_pick(); };
}

void MediaPage::shown() {
    const std::optional<ListKind> preset = list_kind_preset;
    list_kind_preset.reset();
    if (preset) {
        组合框.select(*preset);
        组合框_change();
    } else if (列表框.row_count() == 0) {
        组合框.select(kPictures);
        组合框_change();
    }
}

void MediaPage::add_row(const std::string& path, bool ticked) {
    const int row = 列表框.append_row();
    列表框.set_cell(row, 0, path_file_name(path));
    列表框.set_cell(row, 1, path_directory(path));
    if (ticked) 列表框.set_row_checked(row, true);
}

std::string MediaPage::row_path(int row) const {
    std::string path;
    append_row_path(row, path);
    return path;
}

// Folder, then name: the two columns as the list file stores them.
void MediaPage::append_row_path(int row, std::string& out) const {
    out.append(列表框.cell(row, 1)).append(列表框.cell(row, 0));
}

void MediaPage::组合框_change() {
    列表框.clear();
    预览画板.hide();
    信息标签.set_text("");
    const std::string file = list_path(kind());
    if (!sys().files.exists(file)) return;
    // A list too large for the memory left (hundreds of megabytes in a 32-bit
    // process) shows as no list rather than ending the program.
    try {
        load_rows(file);
    } catch (const std::bad_alloc&) {
        列表框.clear();
    }
}

void MediaPage::load_rows(const std::string& file) {
    // One read and one pass over the file for the whole list, with the values
    // a read per key would give (the first of a repeated key counts).
    std::string content;
    if (!sys().files.read(file, content)) return;
    bool found = false;
    int count = leading_int(ini::text::read(content, "total", "count", found));
    std::unordered_map<std::string, std::string> paths;
    for (auto& [key, value] : ini::text::read_section(content, "path")) paths.emplace(ascii_lower(key), std::move(value));
    // A count far past the entries (a damaged file) lists no more than this
    // many rows instead of exhausting memory.
    count = std::min<long long>(count, std::max<long long>(kMaxEmptyRows, static_cast<long long>(paths.size())));
    for (int i = 1; i <= count; ++i) {
        const auto it = paths.find(decimal(i));
        add_row(it == paths.end() ? std::string() : it->second, true);
    }
}

void MediaPage::文件按钮_click() {
    FileDialog d;
    if (kind() == kPictures) {
        d.title = "请选择您喜爱的壁纸";
        d.filter = "图片文件(*.bmp;*.jpg)|*.BMP;*.JPG";
    } else {
        d.title = "请选择一首MP3";
        d.filter = "MP3(*.mp3)|*.MP3";
    }
    const AliveToken alive = 列表框.window()->liveness();
    const std::optional<std::string> path = sys().dialogs.open_file(列表框.window(), d);
    if (alive && path && !path->empty()) add_row(*path, false);
}

void MediaPage::show_search_status(const std::string& text, bool now) {
    status_text_ = text;
    const std::uint64_t t = sys().clock.ticks_ms();
    if (now || t - status_shown_at_ >= kStatusEveryMs) {
        标签.set_text(status_text_);
        status_shown_at_ = t;
        status_pending_ = false;
    } else {
        status_pending_ = true;
    }
}

bool MediaPage::search(std::string folder, const std::string& ext) {
    // A name may end in a double-byte character whose trail byte is 0x5C.
    if (folder.empty() || find_last_char(folder, '\\') != folder.size() - 1) folder += '\\';
    for (const FileSystem::Entry& e : sys().files.enumerate(folder + "*." + ext)) {
        if (e.folder) continue;
        show_search_status("搜索：" + folder + e.name, false);
        add_row(folder + e.name, false);
        // The window's messages run after the first file and then once the
        // search has worked a few milliseconds more: as responsive as after
        // every file, without a repaint of the list for each of tens of
        // thousands of rows (a repaint can take longer than the search's step).
        if (!pumped_ || sys().clock.ticks_ms() - pumped_at_ >= kPumpEveryMs) {
            pumped_ = true;
            const AliveToken alive = 列表框.window()->liveness();
            sys().loop.process_pending();
            if (!alive) return false;
            pumped_at_ = sys().clock.ticks_ms();
        }
    }
    for (const FileSystem::Entry& e : sys().files.enumerate(folder + "*.*")) {
        // A junction or link may lead back up the tree (a loop without end),
        // and the system's own folders hold deleted files and restore points.
        if (!e.folder || e.name.empty() || e.name[0] == '.' || e.link || e.system_hidden) continue;
        if (!search(folder + e.name, ext)) return false;
    }
    return true;
}

void MediaPage::目录按钮_click() {
    const bool pictures = kind() == kPictures;
    const AliveToken alive = 列表框.window()->liveness();
    const std::optional<std::string> folder =
        sys().dialogs.browse_folder(列表框.window(), pictures ? "请选择壁纸所在的文件夹：" : "请选择MP3所在的文件夹：");
    if (!alive || !folder || folder->empty()) return;
    pumped_ = false;
    const bool whole = pictures ? search(*folder, "bmp") && search(*folder, "jpg") : search(*folder, "mp3");
    if (!whole || !alive) return;
    // The last file found stays in view until the result replaces it.
    if (status_pending_) show_search_status(status_text_, true);
    sys().dialogs.beep();
    标签.set_text("搜索完毕。列表中共有符合条件的文件" + decimal(列表框.row_count()) + "个。");
}

void MediaPage::全选按钮_click() {
    for (int i = 0; i < 列表框.row_count(); ++i)
        if (!列表框.row_checked(i)) 列表框.set_row_checked(i, true);
}

void MediaPage::删除按钮_click() {
    for (int i = 列表框.row_count() - 1; i >= 0; --i)
        if (列表框.row_checked(i)) 列表框.remove_row(i);
}

void MediaPage::swap_rows(int a, int b) {
    for (int c = 0; c < 2; ++c) {
        std::string t = 列表框.cell(a, c);
        列表框.set_cell(a, c, 列表框.cell(b, c));
        列表框.set_cell(b, c, std::move(t));
    }
}

void MediaPage::上移按钮_click() {
    const int n = 列表框.row_count();
    for (int i = 0; i < n; ++i) {
        if (!列表框.row_checked(i)) continue;
        if (i == 0) {
            sys().dialogs.message_box(列表框.window(), "选定的首条已到列表顶层！", "", Icon::Information, Buttons::Ok);
            return;
        }
        const bool upper = 列表框.row_checked(i - 1);
        swap_rows(i - 1, i);
        列表框.set_row_checked(i - 1, true);
        列表框.set_row_checked(i, upper);
    }
}

void MediaPage::下移按钮_click() {
    const int n = 列表框.row_count();
    for (int i = n - 1; i >= 0; --i) {
        if (!列表框.row_checked(i)) continue;
        if (i == n - 1) {
            sys().dialogs.message_box(列表框.window(), "选定的末条已到列表底层！", "", Icon::Information, Buttons::Ok);
            return;
        }
        const bool lower = 列表框.row_checked(i + 1);
        swap_rows(i, i + 1);
        列表框.set_row_checked(i + 1, true);
        列表框.set_row_checked(i, lower);
    }
}

void MediaPage::添加按钮_click() {
    const int k_kind = kind();
    // The whole list in one atomic write: the same keys as writing them one by
    // one, but never a half list and not one rewrite of the file per row.
    ini::Batch batch(list_path(k_kind), FileSystem::Flush::Yes);
    std::vector<int> rows;
    for (int i = 0; i < 列表框.row_count(); ++i)
        if (列表框.row_checked(i)) rows.push_back(i);
    // The paths are made while the file's text is, not held a second time.
    batch.write_list("path", rows.size(), [&](std::size_t n, std::string& out) { append_row_path(rows[n], out); });
    const int k = static_cast<int>(rows.size());
    if (k == 0) {
        batch.commit();
        sys().dialogs.message_box(列表框.window(), "您还未选择欲添加的文件呢！", "无对象", Icon::Error, Buttons::Ok);
        return;
    }
    batch.write("total", "count", decimal(k));
    if (!batch.commit()) {
        // The old list is whole; saying it was added would be a lie.
        sys().dialogs.message_box(列表框.window(), "无法写入" + list_path(k_kind) + "，列表未被更改。", "添加失败",
                                  Icon::Error, Buttons::Ok);
        return;
    }
    if (k_kind == kPictures) {
        if (!media_.wallpaper_timer().running()) {
            media_.change_wallpaper_now();
            media_.start_wallpaper_timer();
        }
    } else if (!media_.music_timer().running()) {
        media_.start_next_track();
    }
    sys().dialogs.message_box(列表框.window(), "添加完毕。共添加" + decimal(k) + "个文件。", "", Icon::None, Buttons::Ok);
}

void MediaPage::列表框_pick() {
    const int row = 列表框.selection();
    if (row < 0) return;
    const std::string path = row_path(row);
    if (!sys().files.exists(path)) return;
    std::string bytes;
    if (kind() == kPictures) {
        预览画板.show();
        信息标签.set_text("");
        预览画板.clear_pixels();
        if (sys().files.read(path, bytes))
            预览画板.set_pixels(kPreviewWidth, kPreviewHeight, stretched_picture(bytes, kPreviewWidth, kPreviewHeight));
    } else {
        // Only the tags' bytes are read, not a track of megabytes.
        预览画板.hide();
        信息标签.set_text(file_tag_text(path));
    }
}

}  // namespace q::media
