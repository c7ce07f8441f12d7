// The program's embedded data. resources/resources.list maps each id to its
// file; the exe carries them as RCDATA (the icon as ICON), the sim as byte arrays.
#pragma once

#include <string_view>

namespace q {

enum class Res : int {
    AppIcon = 1,         // tray and program icon: 16, 32, 48 px, 256 colours and 32-bit
    BarBitmap = 100,     // 121 x 300, 24-bit BMP, pure red marks the cut-away
    ButtonIcon0 = 110,   // eleven 17 x 17 24-bit BMPs, magenta (255, 0, 255) transparent;
                         // ButtonIcon0 + n is the icon of main bar function n
    HoverWav = 200,      // 16-bit mono 22050 Hz, 1762 bytes
    TrayShowWav = 201,   // 16-bit mono 22050 Hz, 4728 bytes
    Chime0Wav = 210,     // "清脆布谷": 8-bit mono 11025 Hz, 8960 bytes
    Chime1Wav = 211,     // "门前风铃": 8-bit mono 22050 Hz, 42696 bytes
    Chime2Wav = 212,     // "暮鼓晨钟": 8-bit mono 25752 Hz, 66544 bytes
    Chime3Wav = 213,     // "美丽流星": 8-bit mono 22050 Hz, 37310 bytes; also the popup's rising sound
    AlertWav = 220,      // popup alert: 8-bit mono 22050 Hz, 5475 bytes
    PopupJpeg = 300,     // 185 x 200 JPEG, the popup's background
    NoteSkin = 310,      // 151 x 270, 24-bit BMP, pure red corners cut away
    NoteMenuButton = 311,   // 12 x 12 24-bit BMP
    NoteCloseButton = 312,  // 11 x 9 24-bit BMP
    AboutEmblem = 320,   // 45 x 47 24-bit BMP
};

inline Res button_icon(int function) { return static_cast<Res>(static_cast<int>(Res::ButtonIcon0) + function); }

// The bytes of an embedded resource (whole file image); empty when unknown.
std::string_view resource_bytes(Res id);

}  // namespace q
