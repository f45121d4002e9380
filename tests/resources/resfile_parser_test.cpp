// The .res reader against images built byte by byte, so that the cases windres never writes
// (extended templates with creation data, names instead of ordinals, hostile sizes) are
// covered too.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "framework/resfile/resource_file.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Writer {
    Bytes b;
    void U8(unsigned v) { b.push_back(static_cast<unsigned char>(v)); }
    void U16(unsigned v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Sz(const std::u16string& s) {
        for (char16_t c : s) U16(c);
        U16(0);
    }
    void Ord(unsigned v) {
        U16(0xFFFF);
        U16(v);
    }
    void Align4() {
        while (b.size() % 4) U8(0);
    }
};

// Lengths at which an image ends cleanly: after an entry's data or anywhere in its padding.
std::vector<size_t> g_cleanEnds;

// One resource entry; type and name are ordinals unless a name is given.
void Entry(Bytes* out, unsigned type, unsigned id, const Bytes& data, const std::u16string& name = u"") {
    Writer h;
    h.Ord(type);
    if (name.empty())
        h.Ord(id);
    else
        h.Sz(name);
    h.Align4();
    h.U32(0);       // data version
    h.U16(0x1030);  // memory flags
    h.U16(0x0409);  // language
    h.U32(0);       // version
    h.U32(0);       // characteristics
    Writer e;
    e.U32(static_cast<uint32_t>(data.size()));
    e.U32(static_cast<uint32_t>(8 + h.b.size()));
    e.b.insert(e.b.end(), h.b.begin(), h.b.end());
    e.b.insert(e.b.end(), data.begin(), data.end());
    const size_t dataEnd = out->size() + e.b.size();
    e.Align4();
    out->insert(out->end(), e.b.begin(), e.b.end());
    for (size_t n = dataEnd; n <= out->size(); ++n) g_cleanEnds.push_back(n);
}

Bytes NullEntry() {
    Bytes out;
    Entry(&out, 0, 0, {});
    return out;
}

Bytes StringBlock(const std::vector<std::u16string>& sixteen) {
    Writer w;
    for (size_t i = 0; i < 16; ++i) {
        const std::u16string s = i < sixteen.size() ? sixteen[i] : u"";
        w.U16(static_cast<unsigned>(s.size()));
        for (char16_t c : s) w.U16(c);
    }
    return w.b;
}

// A plain template with a string-named menu, a named class, two controls: a predefined class
// by ordinal with an ordinal text, and a named class with creation data.
Bytes PlainDialog() {
    Writer w;
    w.U32(0x80C800C0);  // WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT
    w.U32(0x00000008);
    w.U16(2);
    w.U16(static_cast<uint16_t>(-3));
    w.U16(4);
    w.U16(120);
    w.U16(60);
    w.Sz(u"MENU");
    w.Sz(u"MyClass");
    w.Sz(u"Caf\u00e9 \u20ac");
    w.U16(9);
    w.Sz(u"Tahoma");
    w.Align4();
    w.U32(0x5000000E);  // SS_BITMAP
    w.U32(0);
    w.U16(1);
    w.U16(2);
    w.U16(30);
    w.U16(40);
    w.U16(0xFFFF);  // id 65535
    w.Ord(0x82);
    w.Ord(140);
    w.U16(0);
    w.Align4();
    w.U32(0x50010000);
    w.U32(0x200);
    w.U16(5);
    w.U16(6);
    w.U16(7);
    w.U16(8);
    w.U16(1040);
    w.Sz(u"SYSLISTVIEW32");  // as the resource compiler writes it
    w.Sz(u"");
    w.U16(3);  // three bytes of creation data
    w.U8(0xAA);
    w.U8(0xBB);
    w.U8(0xCC);
    return w.b;
}

Bytes ExtendedDialog() {
    Writer w;
    w.U16(1);
    w.U16(0xFFFF);
    w.U32(77);          // help id
    w.U32(0x00010000);  // exStyle
    w.U32(0x80C80048);  // DS_SHELLFONT
    w.U16(4);
    w.U16(0);
    w.U16(0);
    w.U16(206);
    w.U16(154);
    w.U16(0);  // no menu
    w.U16(0);  // default class
    w.Sz(u"Dialog");
    w.U16(8);
    w.U16(400);
    w.U8(0);
    w.U8(1);
    w.Sz(u"MS Sans Serif");
    for (unsigned i = 0; i < 4; ++i) {
        w.Align4();
        w.U32(0);  // help id
        w.U32(0);
        w.U32(0x50010001 + i);
        w.U16(10 * i);
        w.U16(20);
        w.U16(50);
        w.U16(14);
        w.U32(i == 2 ? 0xFFFFFFFFu : 1 + i);
        if (i == 0)
            w.Ord(0x80);
        else if (i == 1)
            w.Ord(0x85);
        else if (i == 2)
            w.Ord(0x99);
        else
            w.Sz(u"MyGrid_Ctl");
        w.Sz(i == 0 ? u"OK" : u"");
        w.U16(i == 1 ? 2 : 0);
        if (i == 1)
            w.U16(0x1234);
    }
    return w.b;
}

Bytes SampleImage() {
    g_cleanEnds.clear();
    Bytes res = NullEntry();
    // Block 3 holds ids 32..47.
    Entry(&res, 6, 3, StringBlock({u"zero", u"", u"\u20ac\u00e9\u0160\u4e2d\u0081\u0085", u"a\r\nb"}));
    Entry(&res, 5, 129, PlainDialog());
    Entry(&res, 5, 141, ExtendedDialog());
    Entry(&res, 2, 140, Bytes{1, 2, 3, 4, 5});
    Entry(&res, 24, 1, Bytes(37, 'x'));          // a manifest: skipped
    Entry(&res, 5, 0, PlainDialog(), u"NAMED");  // named dialog: not reachable by id
    return res;
}

// The sample image, read: it holds everything it was built with.
fw::ResourceFile ParsedSample() {
    const Bytes res = SampleImage();
    fw::ResourceFile file;
    std::string error;
    EXPECT_TRUE(file.Parse(res.data(), res.size(), &error)) << error;
    return file;
}

TEST(ResourceFileStrings, ConvertsToWindows1252AndSkipsEmptySlots) {
    const fw::ResourceFile file = ParsedSample();
    std::string text;
    ASSERT_TRUE(file.FindString(32, &text));
    EXPECT_EQ(text, "zero");
    EXPECT_FALSE(file.FindString(33, &text));  // an empty slot reads as absent
    ASSERT_TRUE(file.FindString(34, &text));
    // Euro, e-acute, S-caron map into the code page, a CJK character cannot, the unassigned
    // byte 0x81 round-trips, the C1 control U+0085 is not the ellipsis.
    EXPECT_EQ(text, "\x80\xE9\x8A?\x81?");
    ASSERT_TRUE(file.FindString(35, &text));
    EXPECT_EQ(text, "a\r\nb");
    EXPECT_FALSE(file.FindString(31, &text));
    EXPECT_FALSE(file.FindString(48, &text));
    EXPECT_EQ(file.StringCount(), 3u);
}

TEST(ResourceFileDialogs, ReadsPlainTemplates) {
    const fw::ResourceFile file = ParsedSample();
    const fw::DialogTemplate* dlg = file.FindDialog(129);
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(dlg->extended);
    EXPECT_EQ(dlg->style, 0x80C800C0u);
    EXPECT_EQ(dlg->exStyle, 8u);
    EXPECT_EQ(dlg->x, -3);
    EXPECT_EQ(dlg->cx, 120);
    EXPECT_EQ(dlg->cy, 60);
    EXPECT_EQ(dlg->caption, "Caf\xE9 \x80");
    EXPECT_EQ(dlg->fontFace, "Tahoma");
    EXPECT_EQ(dlg->pointSize, 9);
    ASSERT_EQ(dlg->controls.size(), 2u);
    const fw::ControlTemplate& pic = dlg->controls[0];
    EXPECT_EQ(pic.id, 65535);
    EXPECT_EQ(pic.windowClass, "Static");
    EXPECT_EQ(pic.textOrdinal, 140);
    EXPECT_EQ(pic.text, "");
    EXPECT_EQ(pic.style, 0x5000000Eu);
    EXPECT_EQ(pic.cy, 40);
    const fw::ControlTemplate& list = dlg->controls[1];
    EXPECT_EQ(list.id, 1040);
    EXPECT_EQ(list.windowClass, "SysListView32");
    EXPECT_EQ(list.textOrdinal, -1);
    EXPECT_EQ(list.exStyle, 0x200u);
    EXPECT_EQ(list.x, 5);
    EXPECT_EQ(list.y, 6);
    EXPECT_EQ(file.DialogCount(), 2u);  // the named one is not counted
}

TEST(ResourceFileDialogs, ReadsExtendedTemplates) {
    const fw::ResourceFile file = ParsedSample();
    const fw::DialogTemplate* dlg = file.FindDialog(141);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->extended);
    EXPECT_EQ(dlg->style, 0x80C80048u);
    EXPECT_EQ(dlg->exStyle, 0x00010000u);
    EXPECT_EQ(dlg->caption, "Dialog");
    EXPECT_EQ(dlg->fontFace, "MS Sans Serif");
    EXPECT_EQ(dlg->pointSize, 8);
    ASSERT_EQ(dlg->controls.size(), 4u);
    EXPECT_EQ(dlg->controls[0].windowClass, "Button");
    EXPECT_EQ(dlg->controls[0].text, "OK");
    EXPECT_EQ(dlg->controls[0].id, 1);
    EXPECT_EQ(dlg->controls[1].windowClass, "ComboBox");
    EXPECT_EQ(dlg->controls[1].style, 0x50010002u);
    EXPECT_EQ(dlg->controls[2].windowClass, "#153");
    EXPECT_EQ(dlg->controls[2].id, -1);
    EXPECT_EQ(dlg->controls[2].x, 20);
    EXPECT_EQ(dlg->controls[3].windowClass, "MyGrid_Ctl");  // unknown names stay as written
}

TEST(ResourceFileBitmaps, KeepsTheBytesAsStored) {
    const fw::ResourceFile file = ParsedSample();
    const std::vector<unsigned char>* bmp = file.FindBitmap(140);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(*bmp, (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(file.FindBitmap(141), nullptr);
}

TEST(ResourceFileMerge, FirstImageWinsAndAFailedMergeKeepsWhatWasRead) {
    Bytes first = NullEntry();
    Entry(&first, 6, 1, StringBlock({u"first", u"only first"}));
    Bytes second = NullEntry();
    Entry(&second, 6, 1, StringBlock({u"second", u"", u"only second"}));
    fw::ResourceFile file;
    ASSERT_TRUE(file.Parse(first.data(), first.size()));
    ASSERT_TRUE(file.Merge(second.data(), second.size()));
    std::string text;
    ASSERT_TRUE(file.FindString(0, &text));
    EXPECT_EQ(text, "first");
    ASSERT_TRUE(file.FindString(1, &text));
    ASSERT_TRUE(file.FindString(2, &text));
    EXPECT_EQ(text, "only second");

    Bytes broken = second;
    broken.resize(broken.size() - 5);
    std::string error;
    EXPECT_FALSE(file.Merge(broken.data(), broken.size(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(file.FindString(0, &text));

    EXPECT_FALSE(file.Parse(broken.data(), broken.size()));
    EXPECT_FALSE(file.FindString(0, &text)) << "a failed Parse leaves nothing behind";
}

TEST(ResourceFileRobustness, RejectsHostileSizes) {
    Bytes res = SampleImage();
    const size_t second = NullEntry().size();
    fw::ResourceFile file;
    for (uint32_t bad : {0xFFFFFFFFu, 0x80000000u, static_cast<uint32_t>(res.size())}) {
        for (size_t field : {second, second + 4}) {
            Bytes copy = res;
            for (int i = 0; i < 4; ++i) copy[field + i] = static_cast<unsigned char>(bad >> (8 * i));
            EXPECT_FALSE(file.Parse(copy.data(), copy.size())) << field << " " << bad;
        }
    }
    // A dialog claiming more controls than it holds.
    Bytes lying = NullEntry();
    Bytes dlg = PlainDialog();
    dlg[8] = 50;
    Entry(&lying, 5, 1, dlg);
    EXPECT_FALSE(file.Parse(lying.data(), lying.size()));
    // A string whose length runs past its block.
    Bytes longString = NullEntry();
    Bytes block = StringBlock({u"abc"});
    block[0] = 0xFF;
    Entry(&longString, 6, 1, block);
    EXPECT_FALSE(file.Parse(longString.data(), longString.size()));
    EXPECT_TRUE(file.Parse(nullptr, 0));
    EXPECT_FALSE(file.Parse(nullptr, 10));
}

TEST(ResourceFileRobustness, EveryTruncationAndRandomDamageIsHandled) {
    const Bytes res = SampleImage();
    const std::vector<size_t> cleanEnds = g_cleanEnds;
    fw::ResourceFile file;
    for (size_t n = 0; n < res.size(); ++n) {
        // Heap copies of exactly n bytes, so a sanitizer sees any read past the end.
        Bytes cut(res.begin(), res.begin() + n);
        bool ok = file.Parse(cut.data(), cut.size());
        // Cutting between entries leaves a valid, shorter image; anything else must fail.
        bool clean = n == 0 || std::find(cleanEnds.begin(), cleanEnds.end(), n) != cleanEnds.end();
        EXPECT_EQ(ok, clean) << n;
    }
    std::mt19937 rng(1234);
    for (int round = 0; round < 3000; ++round) {
        Bytes copy = res;
        int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i) copy[rng() % copy.size()] = static_cast<unsigned char>(rng());
        file.Parse(copy.data(), copy.size());
        Bytes noise(rng() % 300);
        for (auto& byte : noise) byte = static_cast<unsigned char>(rng());
        file.Parse(noise.data(), noise.size());
    }
}

}  // namespace
