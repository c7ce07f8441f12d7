// The wallpaper and music page (tab 1) of the settings window: the picture
// list wallpaper.ini and the music list mp3.ini, built row by row in the list
// view and written back when the user confirms.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "media/lists.h"
#include "media/media.h"
#include "platform/page.h"
#include "platform/ui.h"

namespace q::media {

// The tag display text of an MP3 file's last bytes (empty when there is no tag).
std::string tag_display_text(const std::string& file_end);
// The tag display text of the file at path: its ID3v2 tag at the start and its
// ID3v1 tag at the end, field by field the longer text (empty when it has
// neither). Only the tags' bytes are read.
std::string file_tag_text(const std::string& path);

class MediaPage : public Page {
public:
    static constexpr int kPreviewWidth = 128;
    static constexpr int kPreviewHeight = 96;

    // The confirm starts the changer or the player when its timer is stopped.
    MediaPage(TabPage& page, Media& media);
    MediaPage(const MediaPage&) = delete;
    MediaPage& operator=(const MediaPage&) = delete;

    DropDown 组合框;
    Button 目录按钮;
    Button 文件按钮;
    ListView 列表框;
    Label 信息标签;
    PictureBox 预览画板;
    Button 全选按钮;
    Button 删除按钮;
    Button 上移按钮;
    Button 下移按钮;
    Button 添加按钮;
    Label 标签;

    // The list kind the changer or the player asks for when its list is
    // missing; the next showing of the page takes it.
    std::optional<ListKind> list_kind_preset;

    // The preset list, or the picture list on a first visit.
    void shown() override;

    void 组合框_change();
    void 目录按钮_click();
    void 文件按钮_click();
    void 全选按钮_click();
    void 删除按钮_click();
    void 上移按钮_click();
    void 下移按钮_click();
    void 添加按钮_click();
    void 列表框_pick();

    int kind() const { return 组合框.selection() == kMusic ? kMusic : kPictures; }

private:
    // Appends an unticked (or ticked) row for a full path.
    void add_row(const std::string& path, bool ticked);
    // The list file's entries as ticked rows (may throw std::bad_alloc).
    void load_rows(const std::string& file);
    std::string row_path(int row) const;
    void append_row_path(int row, std::string& out) const;
    void swap_rows(int a, int b);
    // One folder's matches, then its subfolders; false when the page went
    // while pending messages ran.
    bool search(std::string folder, const std::string& ext);
    void show_search_status(const std::string& text, bool now);

    Media& media_;
    std::uint64_t status_shown_at_ = 0;
    std::uint64_t pumped_at_ = 0;
    bool pumped_ = false;
    bool status_pending_ = false;
    std::string status_text_;
};

}  // namespace q::media
