// The tag reader and the tag display text, from bytes.
#include <gtest/gtest.h>

#include "media/id3.h"
#include "media/media_page.h"
#include "platform/text.h"

namespace q::media {
namespace {

// A tag block with the given fields at their offsets.
std::string block(const std::string& id, const std::string& title, const std::string& comment, int genre) {
    std::string b(128, '\0');
    b.replace(0, 3, id);
    b.replace(3, title.size(), title);
    b.replace(33, 6, "Singer");
    b.replace(63, 5, "Album");
    b.replace(93, 4, "1999");
    b.replace(97, comment.size(), comment);
    b[127] = static_cast<char>(genre);
    return b;
}

TEST(Id3, FieldsGenresAndTheDisplayText) {
    EXPECT_EQ(tag_display_text(std::string(127, 'T')), "") << "shorter than a block";
    EXPECT_EQ(tag_display_text(std::string(200, 'x') + block("TAB", "Song", "", 17)), "");
    // Lower-case "tag" counts; a title padded with spaces, and one cut by a zero byte, both read Song.
    EXPECT_EQ(tag_display_text("mp3 frames" + block("tag", "Song" + std::string(26, ' '), "Nice", 17)),
              "    MP3标签信息\r\n\r\n标题：Song\r\n歌手：Singer\r\n专辑：Album\r\n年代：1999\r\n备注：Nice\r\n流派：Rock");
    EXPECT_EQ(read_id3v1(block("TaG", std::string("Song\0garbage", 12), "", 0))->title, "Song");
    EXPECT_EQ(read_id3v1(block("TAG", "  Two words  ", "", 0))->title, "Two words");
    // Version 1.1: a zero at comment byte 28 and a track number behind it.
    EXPECT_EQ(read_id3v1(block("TAG", "", std::string(28, 'c') + std::string("\0\x07", 2), 0))->comment, std::string(28, 'c'));
    // Only the last 128 bytes count, whatever lies before them.
    EXPECT_EQ(read_id3v1(block("TAG", "Old", "", 1) + block("TAG", "New", "", 2))->title, "New");
    // Genre numbers: the table's ends, its odd spellings, and past the end.
    const std::pair<int, const char*> genres[] = {{0, "Blues"},          {17, "Rock"},
                                                  {67, "Phychedelic"},   {90, "Avantegarde"},
                                                  {117, "power Ballad"}, {131, "indie"},
                                                  {140, "Comteporary Christian"}, {147, "Synth Pop"},
                                                  {148, ""},             {255, ""}};
    for (const auto& [n, name] : genres) EXPECT_EQ(read_id3v1(block("TAG", "", "", n))->genre, name) << n;
    EXPECT_EQ(tag_display_text(block("TAG", "", "", 255)).substr(tag_display_text(block("TAG", "", "", 255)).size() - 8),
              "\r\n流派：");
    // Bytes that are no CP936 text pass through whole; converted for the
    // screen, a lead byte at a field's end takes no line break with it.
    const std::string odd = tag_display_text(block("TAG", "\x80\xFF\x81", "", 0));
    EXPECT_NE(odd.find("\x80\xFF\x81\r\n歌手"), std::string::npos);
    EXPECT_NE(utf16le_from_cp936(odd).find(utf16le_from_cp936("?\r\n歌手")), std::string::npos);
}

}  // namespace
}  // namespace q::media
