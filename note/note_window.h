// The note window: a small skinned, always-on-top sticky note that docks at
// a screen edge.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace q::note {

class Note;

class NoteWindow : public Window {
public:
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 270;
    // A parked window keeps this strip on screen.
    static constexpr int kStrip = 5;

    explicit NoteWindow(Note& owner);

    Label 标题标签;
    PictureButton 菜单按钮;
    PictureButton 关闭按钮;
    Edit 记录编辑框;
    Slider 透明度滑块条;
    Button 固定按钮;
    ColorPicker 颜色选择器;
    Timer 移动时钟;
    // Writes the recovery file a moment after the last change of the text.
    Timer 恢复时钟;

    // The menu 按钮菜单, in order; an empty text is the separator.
    static const std::vector<std::string>& menu_items();

    // Handlers, in the order of the window's life.
    void window_created();
    void 透明度滑块条_change();
    void 颜色选择器_change();
    void window_moved();
    void window_mouse_down(MouseButton b);
    void 标题标签_mouse_down(MouseButton b);
    void 固定按钮_click();
    void 移动时钟_tick();
    void 菜单按钮_click();
    void 记录编辑框_double_click();
    void 记录编辑框_files_dropped(const std::vector<std::string>& paths);
    void 记录编辑框_change();
    void 关闭按钮_click();
    void 恢复时钟_tick();
    void window_close();
    void window_destroyed();
    void window_end_session();

    // What the handlers and the menu do.
    void apply_opacity();
    void drag();
    void keep_on_screen();
    void park();
    void clear();
    // True when the text was written to a file.
    bool save_as_text() { return save_text() == Saved::Yes; }
    void open_document();
    void change_font();
    void restore_default();

    // Writes the text to the recovery file now (removes the file when the
    // note is empty).
    void write_recovery();

    // The box's font when the note opens, and after "恢复默认".
    static Font default_font();

private:
    // The block a loaded file adds to the note; false when it cannot be read.
    // A file with a zero byte gives only the text before it (cut is set).
    static bool loaded_block(const std::string& path, std::string& block, bool& cut);
    // Tells which loaded files were cut at their first zero byte.
    void tell_cut(const std::vector<std::string>& paths);
    void set_note_text(std::string text);
    enum class Saved { Yes, No, WriteFailed };
    Saved save_text();

    Note& owner_;
    // The close is running (its question or its save dialog is up).
    bool closing_ = false;
};

}  // namespace q::note
